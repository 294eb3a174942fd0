#include "editor/uFaultReport.h"

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include <QEvent>
#include <QMetaEnum>
#include <QObject>

#include <cxxabi.h>
#include <execinfo.h>

#include "editor/uSysInfo.h"
#include "platform/uExceptions.h"

namespace {

constexpr int MaxFrames = 64;

QString Demangled(const char* name)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> plain(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    return QString::fromLocal8Bit(status == 0 && plain ? plain.get() : name);
}

// "file(mangled+0x1f) [0x...]" becomes "file(demangled+0x1f) [0x...]".
QString ReadableFrame(const char* frame)
{
    const QString text = QString::fromLocal8Bit(frame);
    const qsizetype open = text.indexOf(QLatin1Char('('));
    const qsizetype plus = text.indexOf(QLatin1Char('+'), open);
    if (open < 0 || plus <= open + 1)
        return text;
    const QByteArray mangled = text.mid(open + 1, plus - open - 1).toLocal8Bit();
    return text.left(open + 1) + Demangled(mangled.constData()) + text.mid(plus);
}

// The dynamic type of the exception in flight, for errors that are not `Exception`s.
QString CurrentExceptionType()
{
    const std::type_info* type = abi::__cxa_current_exception_type();
    return type ? Demangled(type->name()) : QStringLiteral("unknown");
}

} // namespace

TCaughtException Classify(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EUserError& e) {
        return { true, e.Message(), Demangled(typeid(e).name()) };
    } catch (const Exception& e) {
        return { false, e.Message(), Demangled(typeid(e).name()) };
    } catch (const std::exception& e) {
        return { false, QString::fromLocal8Bit(e.what()), Demangled(typeid(e).name()) };
    } catch (...) {
        return { false, QStringLiteral("An exception that carries no message"),
            CurrentExceptionType() };
    }
}

QStringList CurrentStackTrace()
{
    void* addresses[MaxFrames];
    const int count = backtrace(addresses, MaxFrames);
    std::unique_ptr<char*, decltype(&std::free)> frames(
        backtrace_symbols(addresses, count), &std::free);
    QStringList stack;
    for (int i = 1; frames && i < count; ++i)
        stack << ReadableFrame(frames.get()[i]);
    return stack;
}

QString EventContext(const QObject* receiver, const QEvent* event)
{
    QString where = receiver ? QString::fromLatin1(receiver->metaObject()->className())
                             : QStringLiteral("no receiver");
    if (receiver && !receiver->objectName().isEmpty())
        where += QStringLiteral(" \"") + receiver->objectName() + QLatin1Char('"');
    if (event) {
        const char* type = QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type());
        where += QStringLiteral(", event ")
            + (type ? QString::fromLatin1(type) : QString::number(event->type()));
    }
    return where;
}

QString TFaultReport::Text() const
{
    QString text = QStringLiteral("What failed: ") + What + QLatin1Char('\n')
        + QStringLiteral("Exception type: ") + Type + QLatin1Char('\n') + QStringLiteral("Where: ")
        + Where + QStringLiteral("\n\n") + SystemDetailsText(SystemDetails())
        + QStringLiteral("\nStack where the fault was caught:\n");
    for (const QString& frame : Stack)
        text += QStringLiteral("  ") + frame + QLatin1Char('\n');
    return text;
}

void ReportException(std::exception_ptr error, const QString& where, IFaultSink& sink)
{
    const TCaughtException caught = Classify(error);
    if (caught.IsUserError)
        sink.ShowUserError(AsSentence(caught.Message));
    else
        sink.ShowFault({ caught.Message, caught.Type, where, CurrentStackTrace() });
}
