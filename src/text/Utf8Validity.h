#pragma once

#include <QString>

#include <cstddef>

namespace sorvane {

// The UTF-8 test of character-set detection, in one pass over the bytes.
// The bytes fail when any of these holds (a continuation is 80..BF; position
// +n is the n-th byte after the one named):
// 1-2. a lead byte C0-DF, E0-EF, F0-F7, F8-FB, FC-FD or FE lacks a
//      continuation at one of its next 1, 2, 3, 4, 5 or 6 positions
//      (a non-continuation there, or the end of the bytes);
// 3.   an ASCII byte 00-7F is directly followed by a continuation;
// 4.   such a lead byte has a continuation at exactly position +2 .. +7
//      (one continuation more than its run);
// 5.   the first byte is a continuation.
// FF takes part in no rule; overlong forms and 5- and 6-byte runs pass.
// These are exactly the places where the detection's regular expression
// (kUtf8FailurePattern) finds a match.
bool isUtf8Bytes(const unsigned char *bytes, std::size_t size);

// The same test over a byte string (one character per byte). A character
// above U+00FF, which no byte string holds, acts like FF: part of no rule.
bool isUtf8ByteString(const QString &byteString);

// The detection's pattern as the scripts' dialect writes it; a match anywhere
// in a byte string means the bytes are not UTF-8.
extern const char16_t kUtf8FailurePattern[];

} // namespace sorvane
