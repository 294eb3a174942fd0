#include "platform/uExceptions.h"

Exception::Exception(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

QString AsSentence(const QString& message)
{
    const bool closed = message.endsWith(QLatin1Char('.')) || message.endsWith(QChar(0x2026));
    return closed ? message : message + QLatin1Char('.');
}

QString EscapeControls(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7f && code < 0xa0))
            result += QStringLiteral("\\x%1").arg(unsigned(code), 2, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}
