#pragma once

#include "convert/uConvertBase.h"

// A spreadsheet saved in Excel's XML format: per row the longitude, the latitude and the
// description, in the first three cells. A sheet with column titles must have them removed.

class TConvertFromExcel : public TConvertFromBase {
public:
    QString FormatId() const override { return QStringLiteral("excelxml"); }
    // The rows of every worksheet, in document order.
    void Execute(TEntries& entries, TStream& stream) override;
};

void RegisterExcel();
void UnregisterExcel();
