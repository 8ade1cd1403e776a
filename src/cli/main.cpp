// SPDX-License-Identifier: GPL-3.0-or-later
// zelbo-cli: the game library in a terminal.
//   zelbo-cli play [--position FILE.KRP] [--experience FILE.exp]
//   zelbo-cli show FILE.KRP
//   zelbo-cli experience [FILE.exp]
//   zelbo-cli perft DEPTH [--position FILE.KRP] [--side -1|1]
//   zelbo-cli files
//   zelbo-cli tables build [DIR]
//   zelbo-cli tables [FILE]
//   zelbo-cli --help | --version
#include <charconv>
#include <iostream>
#include <optional>
#include <span>
#include <string_view>

#include "cli/experience_listing.h"
#include "cli/files_listing.h"
#include "cli/perft_command.h"
#include "cli/play_session.h"
#include "cli/show_command.h"
#include "cli/tables_command.h"
#include "engine/tables/endgame_tables.h"
#include "experience/experience_file.h"

namespace {

constexpr std::string_view kUsage =
    "usage: zelbo-cli play [--position FILE.KRP] [--experience FILE.exp]\n"
    "       zelbo-cli show FILE.KRP\n"
    "       zelbo-cli experience [FILE.exp]\n"
    "       zelbo-cli perft DEPTH [--position FILE.KRP] [--side -1|1]\n"
    "       zelbo-cli files\n"
    "       zelbo-cli tables build [DIR]\n"
    "       zelbo-cli tables [FILE]\n"
    "       zelbo-cli --help | --version\n"
    "play reads commands: L|R|M SQ, computer on|off, experience on|off, new, takeback,\n"
    "  open FILE, save FILE, level N, time MS, hint [LEVEL], nodes N (a fixed search for\n"
    "  tests: every searching level searches N nodes whatever the time; 0 for the time),\n"
    "  record, pdn save FILE, pdn open [N] FILE, goto N, resign, draw, quit\n";

int Usage() {
  std::cerr << kUsage;
  return 2;
}

// What was asked for on standard output; a failed write is a failure.
int Answer(std::string_view text) {
  std::cout << text << std::flush;
  return std::cout ? 0 : 1;
}

int Play(std::span<char*> args) {
  zelbo::PlayOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view option = args[i];
    if (i + 1 >= args.size()) return Usage();
    if (option == "--position") {
      options.position = args[++i];
    } else if (option == "--experience") {
      options.experience = args[++i];
    } else {
      return Usage();
    }
  }
  options.tables = zelbo::engine::ProgramTables();
  return zelbo::RunPlay(std::cin, std::cout, options);
}

// A whole number within [low, high]; no value for anything else.
std::optional<int> NumberIn(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

int Perft(std::span<char*> args) {
  if (args.empty()) return Usage();
  const auto depth = NumberIn(args[0], 1, 64);
  if (!depth) return Usage();
  zelbo::PerftOptions options;
  options.depth = *depth;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view option = args[i];
    if (i + 1 >= args.size()) return Usage();
    if (option == "--position") {
      options.position = args[++i];
    } else if (option == "--side") {
      const std::string_view side = args[++i];
      if (side != "-1" && side != "1") return Usage();
      options.side = side == "1" ? 1 : -1;
    } else {
      return Usage();
    }
  }
  return zelbo::RunPerft(options, std::cout, std::cerr);
}

// The endgame tables: built where the game reads them (or into a folder), or listed.
int Tables(std::span<char*> args) {
  if (!args.empty() && std::string_view(args[0]) == "build" && args.size() <= 2) {
    const std::filesystem::path folder = args.size() == 2
                                             ? std::filesystem::path(args[1])
                                             : zelbo::FilePlaces::OfThisProgram()
                                                   .UserFile(zelbo::engine::kTablesFileName)
                                                   .write.parent_path();
    if (folder.empty()) return Usage();
    return zelbo::RunTablesBuild(folder, zelbo::engine::TableScope{}, std::cout, std::cerr);
  }
  if (args.size() > 1) return Usage();
  const std::filesystem::path file =
      args.empty() ? zelbo::engine::ProgramTablesFile() : std::filesystem::path(args[0]);
  return zelbo::RunTablesListing(file, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string_view command = argv[1];
  if (argc == 2 && (command == "--help" || command == "-h")) return Answer(kUsage);
  if (argc == 2 && (command == "--version" || command == "-v")) {
    return Answer("zelbo-cli " ZELBO_VERSION "\n");
  }
  const std::span<char*> rest(argv + 2, static_cast<std::size_t>(argc - 2));
  if (command == "play") return Play(rest);
  if (command == "perft") return Perft(rest);
  if (command == "show" && rest.size() == 1) return zelbo::RunShow(rest[0], std::cout, std::cerr);
  if (command == "experience" && rest.size() <= 1) {
    // Without a file, the store the game itself reads.
    const std::filesystem::path store =
        rest.empty() ? zelbo::FilePlaces::OfThisProgram().UserFile(zelbo::kExperienceFileName).read
                     : std::filesystem::path(rest[0]);
    return zelbo::RunExperienceListing(store, std::cout, std::cerr);
  }
  if (command == "tables") return Tables(rest);
  if (command == "files" && rest.empty()) {
    zelbo::RunFilesListing(zelbo::FilePlaces::OfThisProgram(), std::cout);
    return 0;
  }
  return Usage();
}
