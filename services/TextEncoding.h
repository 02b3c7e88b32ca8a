// How a user's text file is stored, so that a program editing it writes it back the same way.
// Files written from scratch are UTF-8 without a byte order mark.
#pragma once

#include <string>
#include <string_view>

enum class TTextEncoding { Utf8, Utf8Bom, Latin1, Utf16LE, Utf16BE };

// The UTF-8 text of a file's bytes, and how they were stored: a byte order mark decides (UTF-8,
// UTF-16 in either order); without one, valid UTF-8 is UTF-8 and anything else an 8-bit file (each
// byte one character). EncodeText(DecodeText(bytes)) gives the bytes back, also for a UTF-16 file
// with an odd trailing byte or a lone surrogate.
std::string DecodeText(std::string_view ABytes, TTextEncoding& AEncoding);

// The bytes of a UTF-8 text stored in AEncoding, with its byte order mark. A character an 8-bit
// file cannot hold is written as "?".
std::string EncodeText(std::string_view AText, TTextEncoding AEncoding);
