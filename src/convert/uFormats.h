#pragma once

// Registers every built-in format with the converter registry. The order of registration is
// the order of every file dialog filter, format list and default choice, so it is written
// down here once, not left to the order in which the program's parts happen to start.
void RegisterBuiltInFormats();
void UnregisterBuiltInFormats();

// Keeps the built-in formats registered for its lifetime.
class TBuiltInFormats {
public:
    TBuiltInFormats() { RegisterBuiltInFormats(); }
    ~TBuiltInFormats() { UnregisterBuiltInFormats(); }
    TBuiltInFormats(const TBuiltInFormats&) = delete;
    TBuiltInFormats& operator=(const TBuiltInFormats&) = delete;
};
