// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/tables_command.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "engine/tables/endgame_tables.h"
#include "engine/tables/table_file.h"
#include "files/file_io.h"

namespace zelbo {
namespace {

using engine::Material;

// A material as letters, the side to move first: "KKM-K" is two kings and a man against a king.
std::string NameOf(const Material& m) {
  return std::string(static_cast<std::size_t>(m.own_kings), 'K') +
         std::string(static_cast<std::size_t>(m.own_men), 'M') + '-' +
         std::string(static_cast<std::size_t>(m.other_kings), 'K') +
         std::string(static_cast<std::size_t>(m.other_men), 'M');
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Counts {
  uint64_t positions = 0, wins = 0, draws = 0, losses = 0;
  int longest_win = 0, longest_loss = 0;
};

Counts CountsOf(const Material& m, const std::vector<uint8_t>& values) {
  Counts c;
  for (uint64_t i = 0; i < values.size(); ++i) {
    if (!engine::PositionAt(i, m)) continue;
    ++c.positions;
    const engine::TableValue v = engine::DecodeTableValue(values[i]);
    if (v.result > 0) ++c.wins, c.longest_win = std::max(c.longest_win, v.plies);
    if (v.result < 0) ++c.losses, c.longest_loss = std::max(c.longest_loss, v.plies);
    if (v.result == 0) ++c.draws;
  }
  return c;
}

}  // namespace

int RunTablesBuild(const std::filesystem::path& folder, const engine::TableScope& scope,
                   std::ostream& out, std::ostream& errors) {
  const auto start = std::chrono::steady_clock::now();
  const std::filesystem::path file = folder / engine::kTablesFileName;
  try {
    std::filesystem::create_directories(folder);
    const engine::TableSet set =
        engine::BuildTables(scope, [&](const Material& m, int done, int count) {
          char line[96];
          std::snprintf(line, sizeof line, "\rtables: %d of %d built (%s), %.0f s   ", done, count,
                        NameOf(m).c_str(), SecondsSince(start));
          errors << line << std::flush;
        });
    errors << '\n';
    const std::vector<uint8_t> bytes = engine::TablesFileBytes(set, scope);
    ReplaceFile(file, bytes);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", SecondsSince(start));
    out << "tables " << file.string() << '\n'
        << "materials " << engine::MaterialsOf(scope).size() << '\n'
        << "bytes " << bytes.size() << '\n'
        << "seconds " << seconds << '\n';
    return 0;
  } catch (const IoError& error) {
    errors << '\n' << file.string() << ": " << error.text() << '\n';
  } catch (const std::filesystem::filesystem_error& error) {
    errors << folder.string() << ": " << error.code().message() << '\n';
  } catch (const std::exception& error) {
    errors << '\n' << error.what() << '\n';
  }
  return 1;
}

int RunTablesListing(const std::filesystem::path& file, std::ostream& out, std::ostream& errors) {
  std::string why;
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadWholeFile(file);
  } catch (const IoError& error) {
    errors << file.string() << ": " << error.text() << '\n';
    return 1;
  }
  engine::TablesFileContents contents;
  if (!engine::ParseTablesFile(bytes, contents, why)) {
    errors << file.string() << ": " << why << '\n';
    return 1;
  }
  out << "tables " << file.string() << '\n'
      << "pieces " << contents.scope.pieces << ", kings only " << contents.scope.kings_only_pieces
      << '\n'
      << "bytes " << bytes.size() << '\n'
      << "material positions wins draws losses longest-win longest-loss packed-bytes\n";
  Counts total;
  int status = 0;
  std::vector<uint8_t> values;
  for (const engine::TablesFileEntry& entry : contents.entries) {
    if (!engine::UnpackTable(entry, values)) {
      errors << NameOf(entry.material) << ": damaged\n";
      status = 1;
      continue;
    }
    const Counts c = CountsOf(entry.material, values);
    out << NameOf(entry.material) << ' ' << c.positions << ' ' << c.wins << ' ' << c.draws << ' '
        << c.losses << ' ' << c.longest_win << ' ' << c.longest_loss << ' ' << entry.packed.size()
        << '\n';
    total.positions += c.positions, total.wins += c.wins, total.draws += c.draws;
    total.losses += c.losses;
    total.longest_win = std::max(total.longest_win, c.longest_win);
    total.longest_loss = std::max(total.longest_loss, c.longest_loss);
  }
  out << "all " << total.positions << ' ' << total.wins << ' ' << total.draws << ' ' << total.losses
      << ' ' << total.longest_win << ' ' << total.longest_loss << ' ' << bytes.size() << '\n';
  return status;
}

}  // namespace zelbo
