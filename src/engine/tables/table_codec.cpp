// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tables/table_codec.h"

#include <array>
#include <memory>

namespace zelbo::engine {
namespace {

constexpr int kProbabilityBits = 11;
constexpr uint16_t kEven = 1 << (kProbabilityBits - 1);
constexpr int kAdaptShift = 5;
constexpr uint32_t kTop = 1u << 24;
constexpr int kContextBits = 10;

// The odds of every bit of a byte, as a tree of 255 nodes, for each context.
struct Model {
  std::array<std::array<uint16_t, 256>, 1 << kContextBits> odds;
  Model() {
    for (auto& tree : odds) tree.fill(kEven);
  }
};

// The context of a byte: the low five bits of each of the two bytes before it (a table's values
// seldom go beyond 31: six bits compress no better).
uint32_t ContextOf(uint8_t last, uint8_t before_last) {
  return (last & 31u) | (before_last & 31u) << 5;
}

class Encoder {
 public:
  explicit Encoder(std::vector<uint8_t>& out) : out_(out) {}

  void Bit(uint16_t& odds, int bit) {
    const uint32_t bound = (range_ >> kProbabilityBits) * odds;
    if (bit == 0) {
      range_ = bound;
      odds = static_cast<uint16_t>(odds + (((1 << kProbabilityBits) - odds) >> kAdaptShift));
    } else {
      low_ += bound;
      range_ -= bound;
      odds = static_cast<uint16_t>(odds - (odds >> kAdaptShift));
    }
    while (range_ < kTop) {
      range_ <<= 8;
      ShiftLow();
    }
  }

  void Flush() {
    for (int i = 0; i < 5; ++i) ShiftLow();
  }

 private:
  // Writes the byte above the 24 bits kept, once no carry can change it.
  void ShiftLow() {
    if (static_cast<uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
      const auto carry = static_cast<uint8_t>(low_ >> 32);
      uint8_t byte = cache_;
      do {
        out_.push_back(static_cast<uint8_t>(byte + carry));
        byte = 0xFF;
      } while (--pending_ != 0);
      cache_ = static_cast<uint8_t>(low_ >> 24);
    }
    ++pending_;
    low_ = (low_ & 0x00FFFFFFu) << 8;
  }

  std::vector<uint8_t>& out_;
  uint64_t low_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
  uint8_t cache_ = 0;
  uint64_t pending_ = 1;
};

class Decoder {
 public:
  explicit Decoder(std::span<const uint8_t> in) : in_(in) {
    for (int i = 0; i < 5; ++i) code_ = (code_ << 8) | Next();
  }

  int Bit(uint16_t& odds) {
    const uint32_t bound = (range_ >> kProbabilityBits) * odds;
    int bit;
    if (code_ < bound) {
      range_ = bound;
      odds = static_cast<uint16_t>(odds + (((1 << kProbabilityBits) - odds) >> kAdaptShift));
      bit = 0;
    } else {
      code_ -= bound;
      range_ -= bound;
      odds = static_cast<uint16_t>(odds - (odds >> kAdaptShift));
      bit = 1;
    }
    while (range_ < kTop) {
      range_ <<= 8;
      code_ = (code_ << 8) | Next();
    }
    return bit;
  }

 private:
  uint8_t Next() { return at_ < in_.size() ? in_[at_++] : 0; }

  std::span<const uint8_t> in_;
  std::size_t at_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
  uint32_t code_ = 0;
};

}  // namespace

std::vector<uint8_t> CompressTable(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out;
  Encoder encoder(out);
  const auto model = std::make_unique<Model>();
  uint8_t last = 0, before_last = 0;
  for (const uint8_t byte : bytes) {
    auto& tree = model->odds[ContextOf(last, before_last)];
    for (int node = 1, i = 7; i >= 0; --i) {
      const int bit = (byte >> i) & 1;
      encoder.Bit(tree[node], bit);
      node = node * 2 + bit;
    }
    before_last = last;
    last = byte;
  }
  encoder.Flush();
  return out;
}

void DecompressTable(std::span<const uint8_t> packed, std::span<uint8_t> bytes) {
  Decoder decoder(packed);
  const auto model = std::make_unique<Model>();
  uint8_t last = 0, before_last = 0;
  for (uint8_t& byte : bytes) {
    auto& tree = model->odds[ContextOf(last, before_last)];
    int node = 1;
    while (node < 256) node = node * 2 + decoder.Bit(tree[node]);
    byte = static_cast<uint8_t>(node - 256);
    before_last = last;
    last = byte;
  }
}

}  // namespace zelbo::engine
