// Audio input of the simulator: WAV and Ogg Vorbis decoding, the reasons it
// gives for bad files, and the audio frames it builds from what it decoded.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "AudioFileLoader.h"
#include "LevelBuilder.h"
#include "OggDecoder.h"
#include "WavDecoder.h"

namespace {

using namespace player_sim;

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

struct WavShape {
  uint16_t formatTag = 1;
  uint16_t channels = 2;
  uint32_t sampleRate = 44100;
  uint16_t bits = 16;
  uint32_t frames = 100;
  bool withInfo = false;
  uint32_t declaredDataBytes = 0;  // 0: the real size
};

// A WAV file with a ramp in every channel.
std::vector<uint8_t> MakeWav(const WavShape& shape) {
  std::vector<uint8_t> data;
  const uint16_t bytesPerSample = shape.bits / 8;
  for (uint32_t f = 0; f < shape.frames; ++f) {
    for (uint16_t c = 0; c < shape.channels; ++c) {
      if (shape.bits == 16) Put16(data, static_cast<uint16_t>(static_cast<int16_t>(f * 100)));
      if (shape.bits == 8) data.push_back(static_cast<uint8_t>(128 + f % 100));
      if (shape.bits == 32) {
        const float value = static_cast<float>(f) / shape.frames;
        uint32_t raw;
        std::memcpy(&raw, &value, 4);
        Put32(data, raw);
      }
    }
  }
  std::vector<uint8_t> info;
  if (shape.withInfo) {
    PutTag(info, "INFO");
    for (const auto& [tag, text] : {std::pair{"INAM", "Wave Title"},
                                    {"IART", "Wave Artist"},
                                    {"IPRD", "Wave Album"},
                                    {"ICRD", "1999-05-01"}}) {
      PutTag(info, tag);
      const std::string value = std::string(text) + '\0';
      Put32(info, static_cast<uint32_t>(value.size()));
      info.insert(info.end(), value.begin(), value.end());
      if (value.size() % 2 != 0) info.push_back(0);
    }
  }
  std::vector<uint8_t> file;
  PutTag(file, "RIFF");
  Put32(file, 0);
  PutTag(file, "WAVE");
  PutTag(file, "fmt ");
  Put32(file, 16);
  Put16(file, shape.formatTag);
  Put16(file, shape.channels);
  Put32(file, shape.sampleRate);
  Put32(file, shape.sampleRate * bytesPerSample * shape.channels);
  Put16(file, static_cast<uint16_t>(bytesPerSample * shape.channels));
  Put16(file, shape.bits);
  if (!info.empty()) {
    PutTag(file, "LIST");
    Put32(file, static_cast<uint32_t>(info.size()));
    file.insert(file.end(), info.begin(), info.end());
  }
  PutTag(file, "data");
  Put32(file, shape.declaredDataBytes != 0 ? shape.declaredDataBytes : static_cast<uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  const uint32_t riffSize = static_cast<uint32_t>(file.size() - 8);
  std::memcpy(&file[4], &riffSize, 4);
  return file;
}

std::vector<uint8_t> ReadFixture(const char* name) {
  std::ifstream in(std::string(PLAYER_SIM_TEST_DATA) + "/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(WavDecoder, DecodesPcmAndFloatWithTags) {
  WavShape stereo;
  stereo.withInfo = true;
  std::vector<uint8_t> file = MakeWav(stereo);
  AudioDecodeResult result = DecodeWav(file.data(), file.size());
  ASSERT_TRUE(result.clip) << result.error;
  EXPECT_EQ(result.clip->channels, 2);
  EXPECT_EQ(result.clip->sampleRate, 44100);
  EXPECT_EQ(result.clip->FrameCount(), 100u);
  EXPECT_FLOAT_EQ(result.clip->samples[2 * 10], 1000.0f / 32768.0f);
  EXPECT_EQ(result.clip->tags.title, "Wave Title");
  EXPECT_EQ(result.clip->tags.artist, "Wave Artist");
  EXPECT_EQ(result.clip->tags.album, "Wave Album");
  EXPECT_EQ(result.clip->tags.year, "1999-05-01");

  WavShape mono8;
  mono8.channels = 1;
  mono8.bits = 8;
  file = MakeWav(mono8);
  result = DecodeWav(file.data(), file.size());
  ASSERT_TRUE(result.clip) << result.error;
  EXPECT_EQ(result.clip->channels, 1);
  EXPECT_FLOAT_EQ(result.clip->samples[64], 64.0f / 128.0f);

  WavShape floats;
  floats.formatTag = 3;
  floats.bits = 32;
  file = MakeWav(floats);
  result = DecodeWav(file.data(), file.size());
  ASSERT_TRUE(result.clip) << result.error;
  EXPECT_FLOAT_EQ(result.clip->samples[2 * 50 + 1], 0.5f);
}

TEST(WavDecoder, NamesTheReasonForBadFiles) {
  WavShape compressed;
  compressed.formatTag = 0x55;
  WavShape surround;
  surround.channels = 6;
  WavShape twelveBit;
  twelveBit.bits = 12;
  WavShape overlong;
  overlong.declaredDataBytes = 100000;
  std::vector<uint8_t> headerOnly = MakeWav(WavShape{});
  headerOnly.resize(30);
  std::vector<uint8_t> notWave = MakeWav(WavShape{});
  std::memcpy(&notWave[8], "AVI ", 4);

  const struct {
    const char* name;
    std::vector<uint8_t> file;
    const char* reason;
  } cases[] = {
      {"compressed", MakeWav(compressed), "unsupported format: compressed"},
      {"six channels", MakeWav(surround), "unsupported format: 6 channels"},
      {"12-bit", MakeWav(twelveBit), "unsupported format: 12-bit"},
      {"data cut short", MakeWav(overlong), "truncated: the data chunk declares 100000 bytes"},
      {"header cut short", headerOnly, "truncated"},
      {"RIFF but not WAVE", notWave, "not WAVE"},
      {"eleven bytes", std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'}, "truncated"},
  };
  for (const auto& c : cases) {
    const AudioDecodeResult result = DecodeWav(c.file.data(), c.file.size());
    EXPECT_FALSE(result.clip) << c.name;
    EXPECT_NE(result.error.find(c.reason), std::string::npos) << c.name << ": got \"" << result.error << "\"";
  }
}

TEST(OggDecoder, DecodesVorbisWithCommentsAndRejectsCutOrForeignStreams) {
  const std::vector<uint8_t> file = ReadFixture("tone.ogg");
  ASSERT_GT(file.size(), 1000u);
  AudioDecodeResult result = DecodeOggVorbis(file.data(), file.size());
  ASSERT_TRUE(result.clip) << result.error;
  EXPECT_EQ(result.clip->channels, 2);
  EXPECT_EQ(result.clip->sampleRate, 22050);
  EXPECT_NEAR(result.clip->DurationSeconds(), 0.6, 0.02);
  EXPECT_EQ(result.clip->tags.title, "Ogg Fixture");
  EXPECT_EQ(result.clip->tags.artist, "Fixture Artist");
  EXPECT_EQ(result.clip->tags.album, "Fixture Album");
  EXPECT_EQ(result.clip->tags.year, "2003");

  const std::vector<uint8_t> headersCut(file.begin(), file.begin() + 200);
  result = DecodeOggVorbis(headersCut.data(), headersCut.size());
  EXPECT_FALSE(result.clip);
  EXPECT_NE(result.error.find("truncated"), std::string::npos) << result.error;

  const std::vector<uint8_t> audioCut(file.begin(), file.begin() + file.size() * 7 / 10);
  result = DecodeOggVorbis(audioCut.data(), audioCut.size());
  EXPECT_FALSE(result.clip);
  EXPECT_NE(result.error.find("truncated"), std::string::npos) << result.error;

  std::vector<uint8_t> foreign = file;
  std::memcpy(&foreign[28], "OpusHead", 8);  // an Opus identification header instead
  result = DecodeOggVorbis(foreign.data(), foreign.size());
  EXPECT_FALSE(result.clip);
  EXPECT_NE(result.error.find("not Vorbis"), std::string::npos) << result.error;
}

class AudioFileLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    mFolder = std::wstring(folder) + L"player-sim-audio-test-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(mFolder.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::wstring& file : mFiles) DeleteFileW(file.c_str());
    RemoveDirectoryW(mFolder.c_str());
  }
  std::wstring Write(const wchar_t* name, const std::vector<uint8_t>& bytes) {
    const std::wstring path = mFolder + L"\\" + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    mFiles.push_back(path);
    return path;
  }

  std::wstring mFolder;
  std::vector<std::wstring> mFiles;
};

TEST_F(AudioFileLoaderTest, ChoosesTheDecoderBySignatureAndExplainsFailures) {
  const std::string text = "Just some notes, not music at all.\n";
  const struct {
    const char* name;
    std::wstring path;
    const char* reason;  // nullptr: decodes
  } cases[] = {
      {"wav", Write(L"good.wav", MakeWav(WavShape{})), nullptr},
      {"ogg named .wav", Write(L"actually-ogg.wav", ReadFixture("tone.ogg")), nullptr},
      {"missing", mFolder + L"\\missing.wav", "file not found"},
      {"folder", mFolder, "is a folder"},
      {"empty", Write(L"empty.wav", {}), "empty file"},
      {"text", Write(L"notes.ogg", std::vector<uint8_t>(text.begin(), text.end())), "not an audio file"},
      {"tiny", Write(L"tiny.wav", {'R', 'I'}), "truncated"},
  };
  for (const auto& c : cases) {
    const AudioDecodeResult result = LoadAudioFile(c.path);
    if (c.reason == nullptr) {
      EXPECT_TRUE(result.clip) << c.name << ": " << result.error;
    } else {
      EXPECT_FALSE(result.clip) << c.name;
      EXPECT_NE(result.error.find(c.reason), std::string::npos)
          << c.name << ": got \"" << result.error << "\"";
    }
  }
}

AudioClip Sine(int channels, float frequency, float amplitude, int frames) {
  AudioClip clip;
  clip.sampleRate = 44100;
  clip.channels = channels;
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      clip.samples.push_back(amplitude * std::sin(2.0f * 3.14159265f * frequency * i / 44100.0f) *
                             (c == 0 ? 1 : 0.5f));
    }
  }
  return clip;
}

TEST(LevelBuilder, FillsWaveformSpectrumStateAndTimeLikeThePlayer) {
  LevelBuilder builder;
  TimedLevel levels{};
  const AudioClip clip = Sine(2, 1000.0f, 0.5f, 44100);
  builder.Build(clip, 22050, play_state, levels);
  EXPECT_EQ(levels.state, play_state);
  EXPECT_EQ(levels.timeStamp, 5000000) << "half a second in 100-ns units";
  const auto [low, high] = std::minmax_element(levels.waveform[0], levels.waveform[0] + SA_BUFFER_SIZE);
  EXPECT_NEAR(*high, 128 + 64, 2);
  EXPECT_NEAR(*low, 128 - 64, 2);
  const auto loudest =
      std::max_element(levels.frequency[0], levels.frequency[0] + SA_BUFFER_SIZE) - levels.frequency[0];
  EXPECT_NEAR(static_cast<double>(loudest), 1000.0 / (22050.0 / 1024) - 1, 1.5) << "the 1 kHz cell";
  EXPECT_LT(levels.frequency[0][600], levels.frequency[0][loudest] / 3);
  EXPECT_GT(levels.frequency[0][loudest], levels.frequency[1][loudest])
      << "row 1 is the quieter right channel";

  // Before the clip starts there is only silence.
  builder.Build(clip, 0, play_state, levels);
  EXPECT_EQ(levels.waveform[1][500], 128);
  EXPECT_EQ(levels.frequency[0][45], 0);
}

TEST(LevelBuilder, MonoFillsRowOneWithACopyAndSilenceIsACentreLine) {
  LevelBuilder builder;
  TimedLevel levels{};
  builder.Build(Sine(1, 440.0f, 0.8f, 8000), 4000, play_state, levels);
  EXPECT_EQ(std::memcmp(levels.waveform[0], levels.waveform[1], SA_BUFFER_SIZE), 0);
  EXPECT_EQ(std::memcmp(levels.frequency[0], levels.frequency[1], SA_BUFFER_SIZE), 0);

  LevelBuilder::BuildSilence(pause_state, 1234, levels);
  EXPECT_EQ(levels.state, pause_state);
  EXPECT_EQ(levels.timeStamp, 1234);
  EXPECT_TRUE(std::all_of(&levels.waveform[0][0], &levels.waveform[0][0] + 2 * SA_BUFFER_SIZE,
                          [](unsigned char b) { return b == 128; }));
  EXPECT_TRUE(std::all_of(&levels.frequency[0][0], &levels.frequency[0][0] + 2 * SA_BUFFER_SIZE,
                          [](unsigned char b) { return b == 0; }));
}

TEST(LevelBuilder, SpectrumScaleRunsFromTheFloorToFullScale) {
  EXPECT_EQ(ScaleMagnitude(0.0f), 0);
  EXPECT_EQ(ScaleMagnitude(1e-5f), 0);
  EXPECT_EQ(ScaleMagnitude(1.0f), 255);
  EXPECT_EQ(ScaleMagnitude(4.0f), 255);
  EXPECT_NEAR(ScaleMagnitude(0.0631f), 170, 2) << "-24 dB";
}

}  // namespace
