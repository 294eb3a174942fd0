// Makes the POI site that ships with the program, so that AutoUpdate works on the first day
// and offline: the cities that name the time zones of the tz database, one country per area
// of the zone names (Europe, Asia, ...), one POI file per area and group.
//
//   make-demo-site ZONE1970_TAB ISO3166_TAB OUTPUT_DIR
//
// The index and its POI files are written to OUTPUT_DIR; the index names the files by
// addresses relative to itself, so the folder works wherever it is installed or moved.

#include <algorithm>
#include <iostream>
#include <map>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTemporaryDir>

#include "convert/uConvertOv2.h"
#include "core/uModel.h"
#include "platform/uCodePage.h"
#include "platform/uExceptions.h"
#include "platform/uStreams.h"
#include "platform/uXml.h"

namespace {

struct TZoneCity {
    QString Area;
    QString Description;
    double Latitude = 0;
    double Longitude = 0;
    // The zone's clocks are those of more than one country.
    bool Shared = false;
};

struct TGroupInfo {
    const char* Name;
    const char* FileSuffix;
    const char* Description;
    const char* Note;
    bool (*Holds)(const TZoneCity&);
};

const TGroupInfo Groups[] = {
    { "timezone-cities", "cities", "Time-zone cities",
        "The city that names each time zone of the tz database.",
        [](const TZoneCity&) { return true; } },
    { "shared-zones", "shared", "Zones shared by several countries",
        "Time-zone cities whose clocks several countries follow.",
        [](const TZoneCity& city) { return city.Shared; } },
};

// The data lines of a tab-separated table of tzdata, split at tabs; comments left out.
std::vector<QStringList> TableRows(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Exception(QStringLiteral("Cannot read %1").arg(path));
    std::vector<QStringList> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            rows.push_back(line.split(QLatin1Char('\t')));
    return rows;
}

// ISO 6709 as tzdata writes it: a sign, then degrees (`degreeDigits`), minutes and
// optionally seconds.
double Degrees(const QString& text, int degreeDigits)
{
    const double sign = text.startsWith(QLatin1Char('-')) ? -1 : 1;
    const QString digits = text.mid(1);
    const double degrees = digits.left(degreeDigits).toInt();
    const double minutes = digits.mid(degreeDigits, 2).toInt();
    const double seconds = digits.mid(degreeDigits + 2, 2).toInt();
    return sign * (degrees + minutes / 60 + seconds / 3600);
}

TZoneCity ZoneCity(const QStringList& row, const QHash<QString, QString>& countryNames)
{
    if (row.size() < 3)
        throw Exception(QStringLiteral("Unexpected line: %1").arg(row.join(QLatin1Char('\t'))));
    const QStringList codes = row[0].split(QLatin1Char(','));
    QStringList countries;
    for (const QString& code : codes)
        countries.append(countryNames.value(code, code));
    const QString& zone = row[2];

    TZoneCity city;
    city.Area = zone.section(QLatin1Char('/'), 0, 0);
    city.Description =
        zone.section(QLatin1Char('/'), -1).replace(QLatin1Char('_'), QLatin1Char(' '))
        + QStringLiteral(", ") + countries.join(QStringLiteral(", "));
    if (row.size() > 3 && !row[3].isEmpty())
        city.Description += QStringLiteral(" - ") + row[3];
    const QString& position = row[1];
    const auto lonStart =
        std::max(position.lastIndexOf(QLatin1Char('+')), position.lastIndexOf(QLatin1Char('-')));
    city.Latitude = Degrees(position.left(lonStart), 2);
    city.Longitude = Degrees(position.mid(lonStart), 3);
    city.Shared = codes.size() > 1;
    return city;
}

QString FileName(const QString& area, const TGroupInfo& group)
{
    return area.toLower() + QLatin1Char('-') + QLatin1String(group.FileSuffix)
        + QStringLiteral(".ov2");
}

void WriteOv2(const std::vector<const TZoneCity*>& cities, const QString& path)
{
    TEntries entries;
    for (const TZoneCity* city : cities)
        entries.AddValues(
            city->Description.toStdString(), std::string(), city->Longitude, city->Latitude);
    TMemoryStream stream;
    TConvertToOv2().Execute(entries, stream);
    SaveFileBytes(path, stream.Bytes());
}

void AddText(TXmlNode parent, const char* name, const QString& text)
{
    parent.AppendElement(QLatin1String(name)).SetText(text);
}

void WriteSite(const std::vector<TZoneCity>& cities, const QString& outputDir)
{
    std::map<QString, std::vector<const TZoneCity*>> areas;
    for (const TZoneCity& city : cities)
        areas[city.Area].push_back(&city);

    TXmlDocument document = CreateXmlDocument();
    document.Root().AppendProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"ISO-8859-1\""));
    TXmlNode pois = document.Root().AppendElement(QStringLiteral("pois"));
    TXmlNode groups = pois.AppendElement(QStringLiteral("groups"));
    for (const TGroupInfo& info : Groups) {
        TXmlNode group = groups.AppendElement(QStringLiteral("group"));
        AddText(group, "name", QLatin1String(info.Name));
        AddText(group, "description", QLatin1String(info.Description));
        AddText(group, "note", QLatin1String(info.Note));
        group.AppendElement(QStringLiteral("wizard"));
    }
    for (const auto& [area, areaCities] : areas) {
        for (const TGroupInfo& info : Groups) {
            std::vector<const TZoneCity*> members;
            for (const TZoneCity* city : areaCities)
                if (info.Holds(*city))
                    members.push_back(city);
            if (members.empty())
                continue;
            const QString file = FileName(area, info);
            WriteOv2(members, QDir(outputDir).filePath(file));
            TXmlNode poi = pois.AppendElement(QStringLiteral("poi"));
            AddText(poi, "description",
                area + QLatin1Char(' ') + QString::fromLatin1(info.Description).toLower());
            AddText(poi, "url", file);
            AddText(poi, "format", QStringLiteral("ov2.ttov2"));
            AddText(poi, "note", QStringLiteral("%1 places").arg(members.size()));
            poi.AppendElement(QStringLiteral("nocommit"));
            AddText(poi, "group", QLatin1String(info.Name));
            AddText(poi, "map", area);
        }
    }
    TMemoryStream stream;
    document.Save(stream);
    SaveFileBytes(QDir(outputDir).filePath(QStringLiteral("index.xml")), stream.Bytes());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 3) {
        std::cerr << "usage: make-demo-site ZONE1970_TAB ISO3166_TAB OUTPUT_DIR\n";
        return 2;
    }
    // The entries round to the user's precision: the defaults of a fresh configuration make
    // the output the same on every machine.
    QTemporaryDir config;
    qputenv("MARIVEL_CONFIG_DIR", QFile::encodeName(config.path()));
    try {
        QHash<QString, QString> countryNames;
        for (const QStringList& row : TableRows(args[1]))
            if (row.size() >= 2)
                countryNames.insert(row[0], row[1]);
        std::vector<TZoneCity> cities;
        for (const QStringList& row : TableRows(args[0]))
            cities.push_back(ZoneCity(row, countryNames));
        const QString outputDir = QDir(args[2]).absolutePath();
        QDir().mkpath(outputDir);
        WriteSite(cities, outputDir);
    } catch (const Exception& e) {
        std::cerr << "make-demo-site: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
