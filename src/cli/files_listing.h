// SPDX-License-Identifier: GPL-3.0-or-later
// `zelbo-cli files`: where the game finds its files and keeps the user's changes, as the board
// window would, one line each: the layout, the store read and the file a save writes, the answers
// text, and every skin the chooser lists with the folder it is read from.
#pragma once

#include <ostream>

#include "files/file_places.h"

namespace zelbo {

void RunFilesListing(const FilePlaces& places, std::ostream& out);

}  // namespace zelbo
