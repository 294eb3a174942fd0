#pragma once

#include <functional>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "locations/uDownload.h"

class TUpdateItem;
class TXmlDocument;
struct TSiteCredentials;

// The AutoUpdate engine: brings one AutoUpdate item up to date with the POI file its site
// offers, converting it into the item's format and writing it to the item's target.

// The answers to the overwrite question, in the order of the confirmation's result codes.
enum class TOverwriteAnswer { Yes, No, Cancel, YesToAll, YesToAllAlways };

// Asks whether a new version may replace an existing target; the status window answers with
// its four-button confirmation, the command line on the terminal.
class IOverwriteQuestion {
public:
    virtual ~IOverwriteQuestion() = default;
    virtual TOverwriteAnswer AskOverwrite(const QString& question) = 0;
};

// What the engine is doing: the percentage of its steps done (-1 while a step goes on) and
// the step's text.
using TUpdateStatus = std::function<void(int percent, const QString& text)>;

class TAutoUpdate {
public:
    explicit TAutoUpdate(IOverwriteQuestion& question);

    // Brings `item` up to date from the site index `siteDocument`. True when a new version
    // was written; false when the target was up to date, the user kept it, or the item is
    // no longer in the program's list. `askBeforeOverwrite` is the caller's, cleared by "Yes
    // to All" so that one answer holds for a whole run. Failures carry their finished
    // message; download failures have been reported to the site's error address.
    bool Update(const TUpdateItem& item, bool& askBeforeOverwrite, const TUpdateStatus& status,
        const TXmlDocument& siteDocument);

    // Stops the download under way, and the rest of the update.
    void Cancel() { FCancelled = true; }
    bool Cancelled() const { return FCancelled; }
    // Called with the bytes of each download; the engine adds its own cancel check.
    TDownloadProgress OnDownload;
    // What the last update's conversion found worth telling, such as names the target's code
    // page lacks.
    QStringList Warnings;

private:
    TDownloadProgress Progress();

    IOverwriteQuestion& Question;
    bool FCancelled = false;
};

// Whether the file `location` (a "FILE://" or "MOBILE://" location) exists; fails with
// "Invalid target filename" for any other location.
bool TargetExists(const QString& location);
// A local target's time is its file's; a device target keeps its time in the 8-byte side
// file of the same name with extension ".inf". Null when there is none.
QDateTime GetTargetTime(const QString& location);
void SetTargetTime(const QString& location, const QDateTime& time);
// Removes the side file a device target's former subscription left, so that a new
// subscription's first update downloads whatever that file says.
void ForgetTargetTime(const QString& location);

QString UrlEncoded(const QString& text);
// A site's error address with "%ErrorMsg%" (`message`), "%ErrorCode%" (0) and "%Description%"
// filled in, ignoring case; the engine's download failures and a failed commit report alike.
QString FillErrorAddress(
    const QString& address, const QString& message, const QString& description);
// "/path" gets the scheme and host of `base` in front, an address without a scheme
// ("cities.ov2", "lists/a.ov2") the folder of `base`; fails with "Invalid address %1" when `base`
// has no scheme. An address with a scheme, or none, comes back as it is.
QString MakeAbsoluteUrl(const QString& address, const QString& base);
// Fills in "%Username%", "%Password%", "%AppVer%" and "%AppName%", ignoring letter case.
QString ExpandUrl(const QString& address, const QString& username, const QString& password);
// An address a site's index names, made absolute against `site` and expanded with the user's
// account. A site may only name its own kind of location, so that an index from the web never
// makes the program read the user's files: a site on the web names web (http, https)
// addresses, a local ("FILE://") site local and web ones. Any other fails with a user error
// that names the refused address.
QString SiteRequestAddress(
    const QString& address, const QString& site, const TSiteCredentials& credentials);
// A site's "lastmodified" answer, "yyyymmdd hhnnss" by position (the ninth character is not
// read), in local time. Fails with a user error when the digits make no time.
QDateTime ParseRemoteTime(const QString& answer);
