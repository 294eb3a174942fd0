#pragma once

#include <ostream>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Points the registry store at a fresh, empty folder for as long as it lives.
class TTempConfig {
public:
    TTempConfig()
        : Previous(qgetenv("MARIVEL_CONFIG_DIR"))
    {
        qputenv("MARIVEL_CONFIG_DIR", Dir.path().toLocal8Bit());
    }
    ~TTempConfig() { qputenv("MARIVEL_CONFIG_DIR", Previous); }
    QString Path() const { return Dir.path(); }

private:
    QByteArray Previous;
    QTemporaryDir Dir;
};

// Failures show text, not UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
