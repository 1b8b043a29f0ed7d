#pragma once

// The wires of a serial port as bits, with the values Linux gives them
// (TIOCM_*), so that a driver's answer needs no translation.
namespace LineBits {

inline constexpr int kDtr = 0x002;
inline constexpr int kRts = 0x004;
inline constexpr int kCts = 0x020;
inline constexpr int kDcd = 0x040;
inline constexpr int kRi = 0x080;
inline constexpr int kDsr = 0x100;

// What this end drives, and what the far end drives.
inline constexpr int kOwnLines = kDtr | kRts;
inline constexpr int kFarLines = kCts | kDsr | kDcd | kRi;

} // namespace LineBits
