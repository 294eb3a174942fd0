#pragma once

#include <optional>
#include <string>

#include <QDate>
#include <QString>

#include "platform/uVersion.h"

// Whether the maker offers a newer program: the online version document, an xml document
// whose document element has a child "Current" with the newest version, "2.1.0.10".

// The version the document names. Fails with "Unable to retrieve online version
// information." when the text is no xml at all (an html error page), with "Invalid xml, no
// document element found" and the text when it does not parse, and with "Online version
// information invalid" when "Current" is missing or holds no version. Missing trailing parts
// count as 0.
TProgramVersion ParseOnlineVersion(const std::string& text);
// Compared part by part from major to build, as numbers.
bool IsNewerVersion(const TProgramVersion& online, const TProgramVersion& running);
// Fetches the document at `url` fresh and parses it.
TProgramVersion FetchOnlineVersion(const QString& url);

// The weekly check at start runs when the last one is unknown or more than 7 days ago.
bool WeeklyCheckDue(const std::optional<QDate>& lastCheck, const QDate& today);
// "LastVersionCheck" of the main settings key, a registry date.
std::optional<QDate> LastVersionCheck();
void StoreLastVersionCheck(const QDate& day);

// "There is a new version of Marivel available ... on www.example?", naming the host of the
// download page.
QString NewVersionQuestion(const QString& downloadUrl);
