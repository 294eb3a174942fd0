#include "sites/uVersionCheck.h"

#include <array>

#include <QUrl>

#include "core/uSettings.h"
#include "locations/uDownload.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uRegistry.h"
#include "platform/uXml.h"

namespace {

// Registry dates count days from this one.
const QDate ZeroDate(1899, 12, 30);
const QString LastCheckValue = QStringLiteral("LastVersionCheck");

TProgramVersion VersionOf(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() > 4)
        throw EUserError(Tr(Msg::OnlineVersionInvalid));
    std::array<int, 4> numbers {};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        numbers[size_t(i)] = parts[i].toInt(&ok);
        if (!ok || numbers[size_t(i)] < 0)
            throw EUserError(Tr(Msg::OnlineVersionInvalid));
    }
    return { numbers[0], numbers[1], numbers[2], numbers[3] };
}

std::array<int, 4> PartsOf(const TProgramVersion& version)
{
    return { version.Major, version.Minor, version.Release, version.Build };
}

} // namespace

TProgramVersion ParseOnlineVersion(const std::string& text)
{
    if (text.find("<?xml") == std::string::npos)
        throw EUserError(Tr(Msg::NoOnlineVersion));
    TXmlDocument document;
    document.ParseBytes(text);
    const TXmlNode root = document.DocumentElement();
    if (!root)
        throw EUserError(Tr(Msg::InvalidXmlNoRoot) + QStringLiteral("\r\r")
            + EscapeControls(QString::fromUtf8(text.data(), qsizetype(text.size()))));
    const TXmlNode current = root.SelectNode(QStringLiteral("Current"));
    if (!current)
        throw EUserError(Tr(Msg::OnlineVersionInvalid));
    return VersionOf(current.Text());
}

bool IsNewerVersion(const TProgramVersion& online, const TProgramVersion& running)
{
    return PartsOf(online) > PartsOf(running);
}

TProgramVersion FetchOnlineVersion(const QString& url)
{
    if (url.isEmpty())
        throw EUserError(Tr(Msg::NoVersionUrl));
    return ParseOnlineVersion(DownloadToString(url, true));
}

bool WeeklyCheckDue(const std::optional<QDate>& lastCheck, const QDate& today)
{
    return !lastCheck || today.addDays(-7) > *lastCheck;
}

std::optional<QDate> LastVersionCheck()
{
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(MainKey))
        return std::nullopt;
    const std::optional<double> days = reg.TryReadDate(LastCheckValue);
    if (!days)
        return std::nullopt;
    return ZeroDate.addDays(qint64(*days));
}

void StoreLastVersionCheck(const QDate& day)
{
    TRegistry reg;
    if (reg.OpenKey(MainKey, true))
        reg.WriteDate(LastCheckValue, double(ZeroDate.daysTo(day)));
}

QString NewVersionQuestion(const QString& downloadUrl)
{
    const QUrl url(downloadUrl);
    const QString site = url.host().isEmpty() ? downloadUrl : url.host();
    return Tr(Msg::NewVersionAvailable).arg(QLatin1String(Msg::ApplicationTitle), site);
}
