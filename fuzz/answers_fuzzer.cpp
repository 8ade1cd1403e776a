// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as "help.eng": read the file as the help window does, then ask for the answer to
// every question from 0 to 255.
//
// What must hold: the lines are valid UTF-8 and hold no line break; valid UTF-8 comes through as
// it is (less a byte-order mark), anything else is one character per byte; the lines put back
// together with line feeds are the text with its line breaks made line feeds; and the answer to
// question n is "No help for this question [n]" exactly when no line holds "[n]" before the first
// line that holds "[E]" (the line of "[n]" itself may hold "[E]"), and otherwise the lines after
// it up to an empty line or one holding "[E]", each ended by a carriage return, "[S]" lines empty.
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "help/answers.h"

namespace zelbo::fuzz {
namespace {

bool Holds(const std::string& line, std::string_view marker) {
  return line.find(marker) != std::string::npos;
}

// A strict UTF-8 check of its own: shortest forms only, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<uint8_t>(text[i]);
    int length = 0;
    char32_t value = 0;
    if (b < 0x80) {
      length = 1, value = b;
    } else if ((b & 0xE0) == 0xC0) {
      length = 2, value = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      length = 3, value = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      length = 4, value = b & 0x07;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(length) > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      const auto c = static_cast<uint8_t>(text[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) return false;
      value = value << 6 | (c & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
      return false;
    }
    i += static_cast<std::size_t>(length);
  }
  return true;
}

std::size_t CodePoints(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(
      text.begin(), text.end(), [](char c) { return (static_cast<uint8_t>(c) & 0xC0) != 0x80; }));
}

// CR LF and lone CRs as LF, and one final line break dropped.
std::string WithLineFeeds(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

void CheckAnswer(const std::vector<std::string>& lines, int n) {
  const std::string tag = "[" + std::to_string(n) + "]";
  const std::string answer = HelpAnswer(lines, static_cast<uint8_t>(n));
  const std::string no_help = "No help for this question " + tag;

  std::size_t first_tag = lines.size(), first_end = lines.size();
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (Holds(lines[i], tag)) first_tag = i;
    if (Holds(lines[i], "[E]")) first_end = i;
  }
  const bool found = first_tag < lines.size() && first_tag <= first_end;
  ZELBO_CHECK((answer == no_help) == !found, tag + " answered '" + answer + "'");
  if (!found) return;

  std::string expected;
  for (std::size_t i = first_tag + 1; i < lines.size(); ++i) {
    if (lines[i].empty() || Holds(lines[i], "[E]")) break;
    expected += (Holds(lines[i], "[S]") ? std::string() : lines[i]) + "\r";
  }
  ZELBO_CHECK(answer == expected, tag + " answered '" + answer + "'");
}

void Run(std::span<const uint8_t> bytes) {
  const std::filesystem::path folder = ScratchFolder();
  WriteWholeFile(folder / "help.eng", bytes);
  const std::vector<std::string> lines = LoadAnswersFile(folder / "help.eng");

  const AnswersText started = LoadAnswers(folder);
  ZELBO_CHECK(!started.failure, *started.failure);
  ZELBO_CHECK(started.lines == lines, "the window read other lines");

  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ZELBO_CHECK(lines[i].find_first_of("\r\n") == std::string::npos, lines[i]);
    ZELBO_CHECK(IsUtf8(lines[i]), lines[i]);
    if (i > 0) joined += '\n';
    joined += lines[i];
  }

  const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string decoded = DecodeAnswersText(bytes);
  if (IsUtf8(raw)) {
    const std::string_view bom = "\xEF\xBB\xBF";
    ZELBO_CHECK(decoded == (raw.starts_with(bom) ? raw.substr(bom.size()) : raw), "");
  } else {
    ZELBO_CHECK(CodePoints(decoded) == bytes.size(), "one character per byte");
  }
  ZELBO_CHECK(joined == WithLineFeeds(decoded), "the lines are not the text");

  for (int n = 0; n <= 255; ++n) CheckAnswer(lines, n);
}

}  // namespace
}  // namespace zelbo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelbo::fuzz::Run(std::span<const uint8_t>(data, size));
  return 0;
}
