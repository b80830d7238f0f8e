// General MIDI program numbers (counted from 0), controllers and percussion
// keys that the pieces share, so the whole machine sounds like one band.
#pragma once

namespace music::gm {

// Programs.
inline constexpr int kGlockenspiel = 9;
inline constexpr int kMusicBox = 10;
inline constexpr int kVibraphone = 11;
inline constexpr int kXylophone = 13;
inline constexpr int kContrabass = 43;
inline constexpr int kHarp = 46;
inline constexpr int kTimpani = 47;
inline constexpr int kSlowStrings = 49;
inline constexpr int kChoir = 52;
inline constexpr int kOrchestraHit = 55;
inline constexpr int kTrumpet = 56;
inline constexpr int kTuba = 58;
inline constexpr int kMutedTrumpet = 59;
inline constexpr int kFrenchHorn = 60;
inline constexpr int kBrassSection = 61;
inline constexpr int kSynthBrass = 63;
inline constexpr int kBassoon = 70;
inline constexpr int kSquareLead = 80;
inline constexpr int kSawLead = 81;
inline constexpr int kSynthBass = 38;

// Controllers.
inline constexpr int kVolume = 7;
inline constexpr int kPan = 10;
inline constexpr int kExpression = 11;
inline constexpr int kReverb = 91;
inline constexpr int kAllSoundOff = 120;

// The percussion channel and its keys.
inline constexpr int kDrumChannel = 9;
inline constexpr int kKick = 36;
inline constexpr int kSnare = 38;
inline constexpr int kClap = 39;
inline constexpr int kLowTom = 41;
inline constexpr int kClosedHat = 42;
inline constexpr int kMidTom = 45;
inline constexpr int kOpenHat = 46;
inline constexpr int kHighTom = 50;
inline constexpr int kCrash = 49;
inline constexpr int kRide = 51;
inline constexpr int kTambourine = 54;
inline constexpr int kSplash = 55;
inline constexpr int kVibraslap = 58;
inline constexpr int kHighWoodBlock = 76;

} // namespace music::gm
