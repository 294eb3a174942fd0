// Plugin libraries that fail in each of the ways a plugin can fail to load or to work; the
// CMake list builds one library per fault, chosen by the definition it compiles with.

#include <stdexcept>

#include <QObject>

#include "plugins/MrvPluginBase.h"

#if defined(FAULT_NO_INTERFACE)

// A Qt plugin, but not a Marivel one.
class TNoInterface : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.SomethingElse")
};

#else

#if defined(FAULT_MISSING_SYMBOL)
// Provided by no library: loading with all symbols resolved fails.
extern "C" int MarivelTestMissingSymbol();
#endif

class TFaulty : public QObject, public TPluginBase {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IPluginBase_iid)
    Q_INTERFACES(IPluginBase)

public:
    TPluginResult ShowLocation(double, double, const QString&) override { return Fault(); }
    TPluginResult AddLocation(double, double, const QString&, TPluginBool) override
    {
        return Fault();
    }
    TPluginResult ShowSettings(QWidget*) override { return Fault(); }
    TPluginResult SetCallBack([[maybe_unused]] IPluginCallBack* callBack) override
    {
#if defined(FAULT_CALLBACK_FAILS)
        return TPluginResult::Fail(QStringLiteral("no callback wanted"));
#elif defined(FAULT_MISSING_SYMBOL)
        return callBack ? TPluginResult { MarivelTestMissingSymbol(), {} } : TPluginResult::Ok();
#else
        return TPluginResult::Ok();
#endif
    }
    TPluginResult GetName(QString& name) override
    {
        name = QStringLiteral("Faulty");
        return TPluginResult::Ok();
    }
    TPluginResult GetCanAdd(TPluginBool&) override { return Fault(); }

private:
    // FAULT_CALLS_THROW: loads, then throws in every call; FAULT_CALLS_FAIL: fails without a
    // reason.
    static TPluginResult Fault()
    {
#if defined(FAULT_CALLS_THROW)
        throw std::runtime_error("plugin exploded\x1b[2J");
#else
        return { -2147467259, {} };
#endif
    }
};

#endif

#include "faulty_plugin.moc"
