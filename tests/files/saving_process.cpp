// SPDX-License-Identifier: GPL-3.0-or-later
// A process that saves, for the tests that need several real ones, or one killed part-way:
//
//   saving_process replace FILE BYTES [named]
//                                       saves FILE over and over, alternately BYTES bytes of 'A'
//                                       and of 'B', until it is killed; it first prints "ready",
//                                       or, with "named", "ready" once it has hidden /proc from
//                                       itself (its saves then name their temporaries from the
//                                       start, as on a file system without unnamed files), else
//                                       "cannot hide /proc"
//   saving_process store FILE           the experience editor on the store FILE, driven by lines
//                                       on standard input:
//       add TAG [COUNT]   adds the records tagged TAG, TAG + 1 ... (COUNT of them, one by
//                         default), each followed by its save, as the editor's "+" does
//       delete TAG        pages to the record tagged TAG and deletes it, as the editor's "x" does
//     and answers each line with one line: "count C index I tags T1,T2,..." for its list in
//     memory, after any message of the store ("message TEXT").
//
// A record's tag is its Captured field; its pattern is the opening position.
#include <sched.h>
#include <sys/mount.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "experience/experience_editing.h"
#include "experience/experience_file.h"
#include "files/file_io.h"
#include "support/recording_port.h"

namespace zelbo {
namespace {

ExperienceRecord Tagged(int tag) {
  ExperienceRecord record{};
  SetupInitialPosition(record.pattern);
  record.captured = static_cast<SquareRef>(tag);
  return record;
}

// Puts an empty /proc over the system's for this process alone; false when it may not.
bool HideProc() {
  return unshare(CLONE_NEWNS) == 0 &&
         mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         mount("none", "/proc", "tmpfs", 0, nullptr) == 0;
}

void ReplaceForever(const std::filesystem::path& file, std::size_t size, bool named) {
  if (named && !HideProc()) {
    std::cout << "cannot hide /proc" << std::endl;
    return;
  }
  std::cout << "ready" << std::endl;
  const std::vector<uint8_t> contents[] = {std::vector<uint8_t>(size, 'A'),
                                           std::vector<uint8_t>(size, 'B')};
  for (std::size_t round = 0;; ++round) ReplaceFile(file, contents[round % 2]);
}

void Answer(GameState& state, testing::RecordingPort& port) {
  for (const std::string& event : port.Take()) std::cout << event << '\n';
  std::cout << "count " << state.experience_count << " index " << state.experience_index
            << " tags ";
  for (std::size_t i = 0; i < state.experience_list.size(); ++i) {
    std::cout << (i > 0 ? "," : "") << state.experience_list[i].captured;
  }
  std::cout << std::endl;
}

void Delete(GameState& state, testing::RecordingPort& port, const UserFilePlace& store, int tag) {
  for (uint32_t i = 0; i < state.experience_list.size(); ++i) {
    if (state.experience_list[i].captured != tag) continue;
    state.experience_index = i;
    state.edit_record = state.experience_list[i];
    DeleteExperienceRecord(state);
    return SaveExperienceFile(state, port, store);
  }
}

void DriveStore(const std::filesystem::path& file) {
  const UserFilePlace store{file, file};
  GameState state;
  testing::RecordingPort port;
  LoadExperienceFile(state, port, store);
  Answer(state, port);
  for (std::string line; std::getline(std::cin, line);) {
    std::istringstream words(line);
    std::string command;
    int tag = 0, count = 1;
    words >> command >> tag >> count;
    if (command == "add") {
      for (int i = 0; i < count; ++i) {
        state.edit_record = Tagged(tag + i);
        AddExperienceRecord(state);
        SaveExperienceFile(state, port, store);
      }
    } else if (command == "delete") {
      Delete(state, port, store, tag);
    }
    Answer(state, port);
  }
}

}  // namespace
}  // namespace zelbo

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "replace" && (argc == 4 || argc == 5)) {
    zelbo::ReplaceForever(argv[2], std::strtoull(argv[3], nullptr, 10),
                          argc == 5 && std::string(argv[4]) == "named");
  } else if (mode == "store" && argc == 3) {
    zelbo::DriveStore(argv[2]);
  } else {
    std::cerr << "usage: saving_process replace FILE BYTES [named] | store FILE\n";
    return 2;
  }
  return 0;
}
