// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: a failed invariant that stops the run with its reason, a private
// folder for the files a target writes, and a window port that remembers what the rules showed.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/board.h"
#include "game/board_window_port.h"
#include "game/end_of_game.h"
#include "game/notation.h"

namespace zelbo::fuzz {

// Stops the run on a broken invariant, saying which; libFuzzer keeps the input that did it.
[[noreturn]] inline void InvariantFailed(const char* condition, const char* file, int line,
                                         const std::string& detail) {
  std::fprintf(stderr, "invariant failed: %s (%s:%d) %s\n", condition, file, line, detail.c_str());
  std::abort();
}

#define ZELBO_CHECK(condition, detail)                                                     \
  do {                                                                                     \
    if (!(condition))                                                                      \
      ::zelbo::fuzz::InvariantFailed(#condition, __FILE__, __LINE__, std::string(detail)); \
  } while (false)

// A folder of this process's own under the temporary folder, removed when the process ends.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    folder_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

inline const std::filesystem::path& ScratchFolder() {
  static const Scratch scratch;
  return scratch.folder();
}

inline void WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  ZELBO_CHECK(out.good(), path.string());
}

inline std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of an input taken one at a time; zero once they run out.
class ByteSource {
 public:
  explicit ByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool empty() const { return bytes_.empty(); }
  uint8_t Next() {
    if (bytes_.empty()) return 0;
    const uint8_t b = bytes_.front();
    bytes_ = bytes_.subspan(1);
    return b;
  }

 private:
  std::span<const uint8_t> bytes_;
};

// Remembers what the rules asked of the window since the last Clear().
class FuzzPort : public BoardWindowPort {
 public:
  bool computer_checked = true;
  bool experience_checked = false;
  int gauge1 = 120;
  int gauge2 = 120;
  int gauge_calls = 0;
  bool panel_visible = false;
  std::string title;
  std::string take_back_caption = "0";
  std::vector<std::string> messages;
  std::vector<std::string> error_dialogs;

  void Clear() {
    messages.clear();
    error_dialogs.clear();
    gauge_calls = 0;
  }

  void DrawBoard() override {}
  void SetApplicationTitle(std::string_view text) override { title = text; }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void ShowErrorDialog(std::string_view text) override { error_dialogs.emplace_back(text); }
  void SetGauges(int g1, int g2) override {
    gauge1 = g1;
    gauge2 = g2;
    ++gauge_calls;
  }
  void SetPanelVisible(bool visible) override { panel_visible = visible; }
  void SetTakeBackCaption(std::string_view caption) override { take_back_caption = caption; }
  bool IsComputerChecked() const override { return computer_checked; }
  bool IsExperienceChecked() const override { return experience_checked; }
};

inline bool IsPieceCode(CellCode code) {
  return code == kComputerMan || code == kComputerKing || code == kPlayerMan || code == kPlayerKing;
}

// Every cell's bytes 2 and 3, which no rule may change.
inline bool SameExtraBytes(const Board& a, const Board& b) {
  for (std::size_t i = 0; i < a.cells.size(); ++i) {
    if (a.cells[i].extra[0] != b.cells[i].extra[0] || a.cells[i].extra[1] != b.cells[i].extra[1]) {
      return false;
    }
  }
  return true;
}

// The code bytes that are neither empty nor a piece stay where they are: nothing moves onto them,
// takes them or moves them.
inline bool SameOtherCodes(const Board& a, const Board& b) {
  for (std::size_t i = 0; i < a.cells.size(); ++i) {
    const CellCode ca = a.cells[i].code, cb = b.cells[i].code;
    const bool fixed_a = ca != kEmpty && !IsPieceCode(ca);
    const bool fixed_b = cb != kEmpty && !IsPieceCode(cb);
    if ((fixed_a || fixed_b) && ca != cb) return false;
  }
  return true;
}

// The board in zelbo-cli's notation, for the reason of a failure.
inline std::string DescribeBoard(const Board& board) { return "board " + FormatBoardLine(board); }

}  // namespace zelbo::fuzz
