#include "platform/audio_device.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/message_box.h"

namespace morvane {
namespace {

// A block of 512 frames is about 12 ms at 44.1 kHz: short enough that a click follows its
// event within a frame of the picture.
constexpr Uint16 blockFrames = 512;

void SDLCALL fillBlock(void* userData, Uint8* stream, int byteCount) {
  const size_t frames = static_cast<size_t>(byteCount) / (outputChannels * sizeof(int16_t));
  static_cast<Mixer*>(userData)->mix(reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace

SdlAudioOutput::SdlAudioOutput(Mixer& mixer) : mixer_(mixer) {}

SdlAudioOutput::~SdlAudioOutput() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
}

uint32_t SdlAudioOutput::open(uint32_t preferredRate) {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;

  SDL_AudioSpec wanted{};
  wanted.freq = static_cast<int>(preferredRate);
  wanted.format = AUDIO_S16SYS;
  wanted.channels = outputChannels;
  wanted.samples = blockFrames;
  wanted.callback = fillBlock;
  wanted.userdata = &mixer_;
  SDL_AudioSpec obtained{};
  // Only the rate may differ from what we ask; SDL converts format and channels itself, so
  // the mixer always writes signed 16-bit stereo.
  const SDL_AudioDeviceID device =
      SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (device == 0) return 0;
  if (obtained.freq <= 0) {
    SDL_CloseAudioDevice(device);
    return 0;
  }
  device_ = device;
  SDL_PauseAudioDevice(device_, 0);
  return static_cast<uint32_t>(obtained.freq);
}

void stopOnLoadFailure(const LoadFailure& failure) {
  // The texts are plain ASCII, so they are valid UTF-8 as they stand.
  showMessageBox(failure.message, "", MessageIcon::none);
  std::fprintf(stderr, "HANG:%d: %s\n", failure.line, failure.message.c_str());
  if (failure.line == loadLine::noDevice) {
    std::fprintf(stderr, "morvane: no sound device; SDL_AUDIODRIVER=dummy morvane plays without sound\n");
  }
  std::fflush(stderr);
  // Stops the audio thread before static objects (the mixer among them) are destroyed.
  SDL_Quit();
  std::exit(1);
}

}  // namespace morvane
