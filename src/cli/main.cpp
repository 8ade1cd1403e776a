// zelbo-cli: the game library in a terminal.
//   zelbo-cli play [--position FILE.KRP] [--experience FILE.exp]
//   zelbo-cli show FILE.KRP
//   zelbo-cli experience [FILE.exp]
//   zelbo-cli files
#include <iostream>
#include <span>
#include <string_view>

#include "cli/experience_listing.h"
#include "cli/files_listing.h"
#include "cli/play_session.h"
#include "cli/show_command.h"
#include "experience/experience_file.h"

namespace {

constexpr std::string_view kUsage =
    "usage: zelbo-cli play [--position FILE.KRP] [--experience FILE.exp]\n"
    "       zelbo-cli show FILE.KRP\n"
    "       zelbo-cli experience [FILE.exp]\n"
    "       zelbo-cli files\n";

int Usage() {
  std::cerr << kUsage;
  return 2;
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
  return zelbo::RunPlay(std::cin, std::cout, options);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string_view command = argv[1];
  const std::span<char*> rest(argv + 2, static_cast<std::size_t>(argc - 2));
  if (command == "play") return Play(rest);
  if (command == "show" && rest.size() == 1) return zelbo::RunShow(rest[0], std::cout, std::cerr);
  if (command == "experience" && rest.size() <= 1) {
    // Without a file, the store the game itself reads.
    const std::filesystem::path store =
        rest.empty() ? zelbo::FilePlaces::OfThisProgram().UserFile(zelbo::kExperienceFileName).read
                     : std::filesystem::path(rest[0]);
    return zelbo::RunExperienceListing(store, std::cout, std::cerr);
  }
  if (command == "files" && rest.empty()) {
    zelbo::RunFilesListing(zelbo::FilePlaces::OfThisProgram(), std::cout);
    return 0;
  }
  return Usage();
}
