// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/files_listing.h"

#include <system_error>

#include "engine/tables/table_file.h"
#include "experience/experience_file.h"
#include "help/answers.h"
#include "skins/skin_folder.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;

// A path, or what stands in for it when there is no such file.
std::string FileOrElse(const fs::path& path, const char* otherwise) {
  std::error_code error;
  if (path.empty() || fs::status(path, error).type() == fs::file_type::not_found) return otherwise;
  return path.string();
}

}  // namespace

void RunFilesListing(const FilePlaces& places, std::ostream& out) {
  out << "layout " << (places.installed() ? "installed" : "portable") << '\n';
  const UserFilePlace store = places.UserFile(kExperienceFileName);
  out << "store " << FileOrElse(store.read, "missing") << '\n';
  out << "save " << (store.write.empty() ? "nowhere" : store.write.string()) << '\n';
  const fs::path help = places.FolderHolding(kAnswersFileName) / kAnswersFileName;
  out << "help " << FileOrElse(help, "built-in") << '\n';
  const fs::path tables = places.FolderHolding(engine::kTablesFileName) / engine::kTablesFileName;
  out << "tables " << FileOrElse(tables, "missing") << '\n';
  for (const std::string& name : ListSkins(places)) {
    out << "skin " << name << '\t' << FindSkinFolder(places, name).string() << '\n';
  }
}

}  // namespace zelbo
