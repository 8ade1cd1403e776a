// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_port.h"

#include <cstdio>

namespace zelbo {

std::string EscapeText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (byte < 0x20 || byte == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      escaped += hex;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

void CliPort::Line(std::string_view kind, std::string_view text) {
  out_ << kind << ' ' << EscapeText(text) << '\n';
}

void CliPort::SetApplicationTitle(std::string_view title) { Line("title", title); }

void CliPort::ShowMessage(std::string_view text) { Line("message", text); }

void CliPort::ShowErrorDialog(std::string_view text) { Line("error-dialog", text); }

void CliPort::SetGauges(int g1, int g2) {
  gauge1 = g1;
  gauge2 = g2;
  out_ << "gauges " << g1 << ' ' << g2 << '\n';
}

void CliPort::SetPanelVisible(bool visible) {
  panel_visible = visible;
  out_ << (visible ? "panel shown\n" : "panel hidden\n");
}

}  // namespace zelbo
