// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/answers.h"

#include <algorithm>
#include <system_error>

#include "files/file_io.h"
#include "help/help_text.h"

namespace zelbo {
namespace {

constexpr std::string_view kEndMarker = "[E]";
constexpr std::string_view kSpaceMarker = "[S]";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool Contains(std::string_view line, std::string_view marker) {
  return line.find(marker) != std::string_view::npos;
}

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at the start of `bytes`, or 0 when there is none:
// no overlong forms, no surrogates, nothing past U+10FFFF.
std::size_t SequenceLength(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(bytes[i]); };
  const uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
  }
  return length;
}

bool IsValidUtf8(std::string_view text) {
  while (!text.empty()) {
    const std::size_t length = SequenceLength(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | code_point >> 6);
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | code_point >> 12);
    out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

// Windows-1252 is Latin-1 except for 0x80..0x9F; its five unassigned bytes there keep the control
// characters of the same number, as the system's own conversion does.
char32_t Windows1252CodePoint(uint8_t byte) {
  static constexpr char32_t kHighControls[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
  };
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) AppendUtf8(out, Windows1252CodePoint(static_cast<uint8_t>(c)));
  return out;
}

std::string NoHelpText(uint8_t n) {
  return "No help for this question [" + std::to_string(n) + "]";
}

}  // namespace

std::vector<std::string> BuiltInAnswers() {
  return {kBuiltInAnswerLines.begin(), kBuiltInAnswerLines.end()};
}

std::vector<std::string> SplitAnswerLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
    start = end;
    if (start < text.size() && text[start] == '\r') ++start;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string DecodeAnswersText(std::span<const uint8_t> bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!IsValidUtf8(text)) return Windows1252ToUtf8(text);
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  return std::string(text);
}

std::vector<std::string> LoadAnswersFile(const std::filesystem::path& path) {
  return SplitAnswerLines(DecodeAnswersText(ReadWholeFile(path, kMaxAnswersFileBytes)));
}

std::string UnreadableAnswersFileMessage(const std::filesystem::path& path, const IoError& error) {
  return "Impossible d'ouvrir le fichier \"" + path.string() + "\". " + error.reason();
}

AnswersText LoadAnswers(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kAnswersFileName;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  // A folder of that name is no answers file, the same as none at all.
  if (status.type() == std::filesystem::file_type::not_found ||
      std::filesystem::is_directory(status)) {
    return {BuiltInAnswers(), std::nullopt};
  }
  try {
    return {LoadAnswersFile(path), std::nullopt};
  } catch (const IoError& failure) {
    return {BuiltInAnswers(), UnreadableAnswersFileMessage(path, failure)};
  }
}

std::string HelpAnswer(const std::vector<std::string>& lines, uint8_t n) {
  const std::string tag = "[" + std::to_string(n) + "]";
  auto line = lines.begin();
  while (line != lines.end() && !Contains(*line, tag) && !Contains(*line, kEndMarker)) ++line;
  if (line == lines.end() || !Contains(*line, tag)) return NoHelpText(n);
  std::string answer;
  for (++line; line != lines.end() && !line->empty() && !Contains(*line, kEndMarker); ++line) {
    answer += Contains(*line, kSpaceMarker) ? "\r" : *line + "\r";
  }
  return answer;
}

}  // namespace zelbo
