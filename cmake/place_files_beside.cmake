# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the shipped skins and the sample experience store beside the built program, as a user
# finds them beside an installed one. A store that is already there is the user's: it is kept.
file(COPY "${SOURCE}/SKIN" DESTINATION "${DESTINATION}")
if(EXISTS "${SOURCE}/braskel.exp" AND NOT EXISTS "${DESTINATION}/braskel.exp")
  file(COPY "${SOURCE}/braskel.exp" DESTINATION "${DESTINATION}")
endif()
