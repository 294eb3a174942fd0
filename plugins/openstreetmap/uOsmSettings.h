#pragma once

#include <QString>
#include <QUrl>

// The OpenStreetMap plugin's settings, kept in the program's settings under a key of its own:
// the zoom level of the page and the pattern of its address, in which "{lat}", "{lon}" and
// "{zoom}" stand for the position and the zoom level.
class TOsmSettings {
public:
    static constexpr int MinZoom = 1;
    static constexpr int MaxZoom = 19;
    static const QString DefaultPattern;
    static constexpr int DefaultZoom = 16;

    int Zoom = DefaultZoom;
    QString Pattern = DefaultPattern;

    // A stored zoom outside the map's levels and an empty pattern read as the defaults.
    static TOsmSettings Load();
    void Save() const;
    // The page that puts a marker at the position.
    QUrl PageOf(double longitude, double latitude) const;
};
