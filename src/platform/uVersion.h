#pragma once

// The program's own four-part version, set once in the top-level CMakeLists.txt.
struct TProgramVersion {
    int Major;
    int Minor;
    int Release;
    int Build;
};

inline constexpr TProgramVersion ProgramVersion = { MARIVEL_VERSION_MAJOR, MARIVEL_VERSION_MINOR,
    MARIVEL_VERSION_RELEASE, MARIVEL_VERSION_BUILD };
