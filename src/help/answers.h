// SPDX-License-Identifier: GPL-3.0-or-later
// The answers text and its line markers. The topic of question N starts after the first line that
// holds "[N]"; its answer is the lines that follow, up to an empty line or one holding "[E]"; a
// line holding "[S]" stands for an empty line. "[E]" also ends the text for the search. Every test
// is a search for the marker anywhere in the line, case counting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_io.h"
#include "files/io_error.h"

namespace zelbo {

// The answers file that replaces the built-in text.
inline constexpr std::string_view kAnswersFileName = "help.eng";

// The largest "help.eng" that is read, the same as for the other data files: a larger one is
// reported as unreadable ("Fichier trop grand (plus de 64 Mio)") and the built-in text
// stays, rather than a text cut short, perhaps inside a letter.
inline constexpr std::size_t kMaxAnswersFileBytes = kMaxWholeFileBytes;

// The built-in answers text as lines.
std::vector<std::string> BuiltInAnswers();

// The lines of a text, broken at CR LF, LF or a lone CR, the way a text box loads a file. A line
// break at the very end starts no further line.
std::vector<std::string> SplitAnswerLines(std::string_view text);

// A "help.eng" as UTF-8: taken as it is when it is valid UTF-8 (less a byte-order mark), else read
// as Windows-1252, the 8-bit code page such files were written in.
std::string DecodeAnswersText(std::span<const uint8_t> bytes);

// The lines of an answers file, read whole; throws IoError when it cannot be read or is larger
// than kMaxAnswersFileBytes.
std::vector<std::string> LoadAnswersFile(const std::filesystem::path& path);

// The message that reports an answers file that exists but cannot be read.
std::string UnreadableAnswersFileMessage(const std::filesystem::path& path, const IoError& error);

// The answers text the help window starts with: "help.eng" from `folder` when that file exists,
// else the built-in text, which also stands in for a file that cannot be read; `failure` then
// holds the message to show.
struct AnswersText {
  std::vector<std::string> lines;
  std::optional<std::string> failure;
};
AnswersText LoadAnswers(const std::filesystem::path& folder);

// What the help window shows for question n: its answer, every line ending with a carriage
// return, or "No help for this question [n]" when the text has no such topic before its "[E]".
std::string HelpAnswer(const std::vector<std::string>& lines, uint8_t n);

}  // namespace zelbo
