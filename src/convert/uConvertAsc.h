#pragma once

#include "convert/uConvertBase.h"

// The line-oriented text formats: one entry a line as comma-separated values, longitude,
// latitude and a quoted description in an order of the format's own. Numbers always use "."
// as decimal separator; lines end in CR LF; ";" starts a comment line.

enum class TColumnLayout {
    LonLatDesc, // longitude, latitude, description
    DescLatLon, // description, latitude, longitude
    GarminColumns, // longitude, latitude, then one or two description columns (reading only)
};

class TConvertToAscBase : public TConvertToBase {
public:
    int Precision() const override { return 5; }
    // Whether the file starts with a comment line naming the program, and an empty line.
    virtual bool WritesHeader() const { return true; }
    virtual TColumnLayout ColumnLayout() const { return TColumnLayout::LonLatDesc; }

    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertFromAscBase : public TConvertFromBase {
public:
    virtual TColumnLayout ColumnLayout() const { return TColumnLayout::LonLatDesc; }
    virtual int MinColumns() const { return 3; }
    virtual int MaxColumns() const { return 3; }
    // Whether a first line whose coordinates are no numbers is taken as column titles.
    virtual bool HeaderLineAllowed() const { return false; }

    // Fails on a line with too few or too many values, or with a coordinate that is no
    // number, naming the line; the entries read before stay.
    void Execute(TEntries& entries, TStream& stream) override;
};

class TConvertToAsc : public TConvertToAscBase {
public:
    QString FormatId() const override { return QStringLiteral("genasc"); }
    // The settings' precision when "Save using maximum precision" is on, else 5.
    int Precision() const override;

protected:
    std::span<const TConvertOption> Options() const override;
};

class TConvertFromAsc : public TConvertFromAscBase {
public:
    QString FormatId() const override { return QStringLiteral("genasc"); }
};

class TConvertToNavmanCsv : public TConvertToAscBase {
public:
    QString FormatId() const override { return QStringLiteral("navmancsv"); }
};

class TConvertFromNavmanCsv : public TConvertFromAscBase {
public:
    QString FormatId() const override { return QStringLiteral("navmancsv"); }
};

class TConvertToNavio : public TConvertToAscBase {
public:
    QString FormatId() const override { return QStringLiteral("navioasc"); }
};

class TConvertFromNavio : public TConvertFromAscBase {
public:
    QString FormatId() const override { return QStringLiteral("navioasc"); }
};

class TConvertToNavioCsv : public TConvertToAscBase {
public:
    QString FormatId() const override { return QStringLiteral("naviocsv"); }
    TColumnLayout ColumnLayout() const override { return TColumnLayout::DescLatLon; }
};

class TConvertFromNavioCsv : public TConvertFromAscBase {
public:
    QString FormatId() const override { return QStringLiteral("naviocsv"); }
    TColumnLayout ColumnLayout() const override { return TColumnLayout::DescLatLon; }
};

class TConvertToGarminCsv : public TConvertToAscBase {
public:
    QString FormatId() const override { return QStringLiteral("garmincsv"); }
    bool WritesHeader() const override { return false; }
};

// Three or four columns: the description is the last one, or the third when the option
// "Treat column 3 as the description" is on. A first line of column titles is passed over.
class TConvertFromGarminCsv : public TConvertFromAscBase {
public:
    QString FormatId() const override { return QStringLiteral("garmincsv"); }
    TColumnLayout ColumnLayout() const override { return TColumnLayout::GarminColumns; }
    int MaxColumns() const override { return 4; }
    bool HeaderLineAllowed() const override { return true; }

protected:
    std::span<const TConvertOption> Options() const override;
};

void RegisterAsc();
void UnregisterAsc();
