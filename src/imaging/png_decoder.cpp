// libpng reports errors through a callback that must not return. The callback
// records the message and long-jumps back to the guarded step that called
// libpng; that step returns false and the C++ caller raises EPngError. Each
// guarded step keeps only trivially destructible objects in its frame, so the
// jump never skips a destructor, and no C++ exception ever unwinds through
// libpng's frames.
#include "imaging/png_decoder.h"

#include <algorithm>

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "imaging/skin_pixels.h"

namespace vesk::imaging {

bool PngMemorySource::Read(std::uint8_t* buffer, std::size_t size, std::size_t& got) noexcept {
  const std::size_t left = bytes_.size() - position_;
  got = size < left ? size : left;
  if (got != 0) std::memcpy(buffer, bytes_.data() + position_, got);
  position_ += got;
  return true;
}

namespace {

constexpr std::size_t kMessageSize = 256;

// The largest width or height the decoder itself reads a header of.
constexpr std::uint32_t kDecoderSideLimit = 65535;

// Everything the libpng callbacks touch. Trivially destructible.
struct DecoderState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngByteSource* source = nullptr;
  std::jmp_buf jump;
  char message[kMessageSize] = {};
  char warnings[kMessageSize] = {};  // every warning so far, "; "-separated
};

// The header facts the conversion needs.
struct HeaderFacts {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int color_type = 0;
  std::uint32_t gama = 0;  // 0: no usable gAMA chunk
};

void CopyMessage(char (&target)[kMessageSize], png_const_charp text) noexcept {
  std::strncpy(target, text != nullptr ? text : "", kMessageSize - 1);
  target[kMessageSize - 1] = '\0';
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp text) {
  auto* state = static_cast<DecoderState*>(png_get_error_ptr(png));
  CopyMessage(state->message, text);
  std::longjmp(state->jump, 1);
}

void OnPngWarning(png_structp png, png_const_charp text) {
  auto* state = static_cast<DecoderState*>(png_get_error_ptr(png));
  std::size_t used = std::strlen(state->warnings);
  if (used != 0 && used + 2 < kMessageSize) {
    std::strcat(state->warnings, "; ");
    used += 2;
  }
  std::strncat(state->warnings, text != nullptr ? text : "", kMessageSize - 1 - used);
}

void OnPngRead(png_structp png, png_bytep data, std::size_t length) {
  auto* state = static_cast<DecoderState*>(png_get_io_ptr(png));
  std::size_t got = 0;
  if (!state->source->Read(data, length, got)) png_error(png, state->source->FailureText());
  if (got != length) png_error(png, "Unexpected end of PNG data");
}

// Ancillary chunks whose content the skin never uses: skipped unread, so a
// damaged one cannot fail the load and a compressed one costs nothing.
constexpr png_byte kIgnoredChunks[] =
    "bKGD\0cHRM\0eXIf\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
constexpr int kIgnoredChunkCount = 16;
static_assert(sizeof kIgnoredChunks == kIgnoredChunkCount * 5);

// gAMA is kept as raw data and read here, so that only a real gAMA chunk
// counts (libpng would also derive a gamma from sRGB).
constexpr png_byte kGamaChunk[] = "gAMA";

std::uint32_t FindGama(png_structp png, png_infop info) {
  png_unknown_chunkp chunks = nullptr;
  const int count = png_get_unknown_chunks(png, info, &chunks);
  for (int i = 0; i < count; ++i) {
    const png_unknown_chunk& chunk = chunks[i];
    if (std::memcmp(chunk.name, kGamaChunk, 4) != 0) continue;
    if ((chunk.location & PNG_AFTER_IDAT) != 0) continue;
    if (chunk.size != 4 || chunk.data == nullptr) return 0;  // malformed: ignored
    return (std::uint32_t{chunk.data[0]} << 24) | (std::uint32_t{chunk.data[1]} << 16) |
           (std::uint32_t{chunk.data[2]} << 8) | std::uint32_t{chunk.data[3]};
  }
  return 0;
}

// Guarded step 1: signature and chunks up to the image data.
bool ReadHeader(DecoderState& state, HeaderFacts& facts) {
  if (setjmp(state.jump) != 0) return false;
  png_read_info(state.png, state.info);
  facts.width = png_get_image_width(state.png, state.info);
  facts.height = png_get_image_height(state.png, state.info);
  facts.color_type = png_get_color_type(state.png, state.info);
  facts.gama = FindGama(state.png, state.info);
  return true;
}

// Guarded step 2: transformations to 8-bit RGBA, then every row and the
// chunks after the image data.
bool ReadPixels(DecoderState& state, png_bytepp rows, png_uint_32 width) {
  if (setjmp(state.jump) != 0) return false;
  png_structp png = state.png;
  png_set_expand(png);  // palette -> RGB, low-bit grey -> 8 bits, tRNS -> alpha
  png_set_strip_16(png);  // a 16-bit sample keeps its high byte
  png_set_gray_to_rgb(png);
  if ((png_get_color_type(png, state.info) & PNG_COLOR_MASK_ALPHA) == 0 &&
      png_get_valid(png, state.info, PNG_INFO_tRNS) == 0) {
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, state.info);
  if (png_get_channels(png, state.info) != 4 || png_get_bit_depth(png, state.info) != 8 ||
      png_get_rowbytes(png, state.info) != std::size_t{width} * 4) {
    png_error(png, "Unsupported pixel format");
  }
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

// Owns libpng's structures for one decode.
class PngReadStructs {
 public:
  explicit PngReadStructs(DecoderState& state) : state_(state) {
    state_.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state_, OnPngError, OnPngWarning);
    if (state_.png != nullptr) state_.info = png_create_info_struct(state_.png);
    if (state_.png == nullptr || state_.info == nullptr) {
      Destroy();
      throw EPngError("Out of memory while creating the PNG decoder");
    }
  }
  ~PngReadStructs() { Destroy(); }
  PngReadStructs(const PngReadStructs&) = delete;
  PngReadStructs& operator=(const PngReadStructs&) = delete;

 private:
  void Destroy() noexcept {
    if (state_.png != nullptr) png_destroy_read_struct(&state_.png, &state_.info, nullptr);
    state_.png = nullptr;
    state_.info = nullptr;
  }
  DecoderState& state_;
};

[[noreturn]] void RaiseDecoderError(const DecoderState& state) {
  std::string message = state.message[0] != '\0' ? state.message : "Invalid PNG data";
  // libpng names the faults of a bad header only in warnings issued just
  // before the error (IHDR is the first chunk, so they are the only ones).
  if (message == "Invalid IHDR data" && state.warnings[0] != '\0') {
    message += ": ";
    message += state.warnings;
  }
  throw EPngError(message);
}

void ConvertToSkinPixels(const HeaderFacts& facts, std::vector<raster::TColor32>& pixels) {
  const bool has_alpha = (facts.color_type & PNG_COLOR_MASK_ALPHA) != 0;
  // Only true-colour images (colour types 2 and 6) are gamma-corrected.
  const bool corrected = facts.gama != 0 && (facts.color_type == PNG_COLOR_TYPE_RGB ||
                                             facts.color_type == PNG_COLOR_TYPE_RGB_ALPHA);
  GammaTable gamma{};
  if (corrected) gamma = MakeGammaTable(facts.gama);
  // Each 32-bit slot holds the bytes R, G, B, A that libpng wrote; they are
  // read as bytes and the slot is overwritten with the finished pixel.
  auto* bytes = reinterpret_cast<const unsigned char*>(pixels.data());
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const unsigned char* p = bytes + i * 4;
    std::uint32_t r = p[0], g = p[1], b = p[2];
    const std::uint32_t a = p[3];
    if (corrected) {
      r = gamma[r];
      g = gamma[g];
      b = gamma[b];
    }
    pixels[i] = has_alpha ? SkinPixelWithAlpha(r, g, b, a) : SkinPixelWithoutAlpha(r, g, b, a);
  }
}

}  // namespace

SkinImage DecodeSkinPng(PngByteSource& source, const PngLimits& limits) {
  DecoderState state;
  state.source = &source;
  PngReadStructs structs(state);
  png_set_read_fn(state.png, &state, OnPngRead);
  // The decoder's own side limit stays above the caller's, so that an image
  // too large is refused below with its size and the limits in the message.
  png_set_user_limits(state.png, std::max<std::uint32_t>(limits.max_width, kDecoderSideLimit),
                      std::max<std::uint32_t>(limits.max_height, kDecoderSideLimit));
  png_set_keep_unknown_chunks(state.png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, kIgnoredChunkCount);
  png_set_keep_unknown_chunks(state.png, PNG_HANDLE_CHUNK_ALWAYS, kGamaChunk, 1);

  HeaderFacts facts;
  if (!ReadHeader(state, facts)) RaiseDecoderError(state);

  const std::uint64_t pixel_count = std::uint64_t{facts.width} * facts.height;
  if (facts.width > limits.max_width ||
      facts.height > limits.max_height || pixel_count > limits.max_pixels) {
    throw EImageTooLarge("Image too large: " + std::to_string(facts.width) + " x " + std::to_string(facts.height) +
                             " pixels (at most " + std::to_string(limits.max_width) + " x " +
                             std::to_string(limits.max_height) + " and " + std::to_string(limits.max_pixels) +
                             " pixels)",
                         facts.width, facts.height);
  }

  SkinImage image;
  image.Width = static_cast<std::int32_t>(facts.width);
  image.Height = static_cast<std::int32_t>(facts.height);
  image.Pixels.assign(static_cast<std::size_t>(pixel_count), 0u);
  std::vector<png_bytep> rows(facts.height);
  for (png_uint_32 y = 0; y < facts.height; ++y) {
    rows[y] = reinterpret_cast<png_bytep>(image.Pixels.data() + std::size_t{y} * facts.width);
  }
  if (!ReadPixels(state, rows.data(), facts.width)) RaiseDecoderError(state);

  ConvertToSkinPixels(facts, image.Pixels);
  return image;
}

SkinImage DecodeSkinPng(std::span<const std::uint8_t> bytes, const PngLimits& limits) {
  PngMemorySource source(bytes);
  return DecodeSkinPng(source, limits);
}

}  // namespace vesk::imaging
