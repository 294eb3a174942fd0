#pragma once

#include <QString>
#include <QValidator>

class TEntry;

// The edit fields of a document window and the current entry, kept in step: a decimal edit
// shows in the degree fields and the other way round.
enum class TEditField {
    Description,
    Latitude,
    Longitude,
    LatDeg,
    LatMin,
    LatSec,
    LonDeg,
    LonMin,
    LonSec,
    LatSign, // the hemisphere buttons, whose caption is the text
    LonSign,
};

struct TEditTexts {
    bool Enabled = false; // there is a current entry; without one every text is empty
    QString Description, Latitude, Longitude;
    QString LatDeg, LatMin, LatSec, LonDeg, LonMin, LonSec;
    QString LatSign, LonSign;

    QString& operator[](TEditField field);
};

class TEntryEditSync {
public:
    static TEditTexts FromEntry(const TEntry* entry);
    // Applies the text of `field` to the entry when it differs from the entry's value; a
    // hemisphere button's caption toggles its hemisphere. A degree, minute or second beyond
    // its field's range is not applied, nor a change that leaves the position where it was; a
    // decimal beyond the pole or the date line fails with a message. Whether anything was
    // applied.
    static bool ToEntry(TEntry& entry, TEditField field, const QString& text);
    // The "-" and "+" keys of a decimal field: the text with or without its leading "-".
    static QString WithSign(const QString& text, bool negative);
};

// What a degree, minute or second field takes: whole degrees up to 90 or 180, whole minutes
// up to 59, seconds below 60 with decimals (the whole seconds are kept), or whole seconds up to
// 59 with `wholeSeconds`.
class TDegreePartValidator : public QValidator {
public:
    TDegreePartValidator(TEditField field, QObject* parent, bool wholeSeconds = false);
    State validate(QString& input, int& pos) const override;

private:
    TEditField Field;
    bool WholeSeconds;
};
