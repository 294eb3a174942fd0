#pragma once

#include <QList>
#include <QString>

// The program's four-part version as the user reads it, "1.2.3.4".
QString ProgramVersionText();

// One line of the system information: what and its value.
struct TSystemDetail {
    QString Name;
    QString Value;
};

// The program and the system it runs on, for the system information dialog and crash
// reports: version, Qt, operating system, processors, memory, folders.
QList<TSystemDetail> SystemDetails();
// "Name: value" lines.
QString SystemDetailsText(const QList<TSystemDetail>& details);

// Writes a report's text to a local file in UTF-8, replacing it whole or not at all.
void SaveReportText(const QString& path, const QString& text);
