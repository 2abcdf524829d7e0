#include "sound/SoundTrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/Files.h"

TEST(SoundTrackTest, EachSoundStartsAtItsTicksSample) {
    const SoundBank bank;
    SoundTrack track(bank);
    track.play({SoundEvent::Kind::clack, 0, 1.0f, 3});   // tick 3: sample 98
    track.play({SoundEvent::Kind::thud, 5, 0.5f, 1});    // tick 1: the track's first sample
    track.play({SoundEvent::Kind::bell, 1, 1.0f, 200});  // past the end: cut off
    const std::vector<float> mix = track.mix(100);
    ASSERT_EQ(mix.size(), 4900u);
    for (std::size_t i = 0; i < 98; ++i) EXPECT_EQ(mix[i], bank.thud[i] * 0.5f) << i;
    for (std::size_t i = 98; i < 98 + bank.clack.size(); ++i) EXPECT_EQ(mix[i], bank.thud[i] * 0.5f + bank.clack[i - 98]) << i;
    EXPECT_EQ(mix[4899], bank.thud[4899] * 0.5f);  // and nothing of the bell
}

TEST(SoundTrackTest, WavIsMono16BitAt44100) {
    const SoundBank bank;
    SoundTrack track(bank);
    track.play({SoundEvent::Kind::clack, 0, 1.0f, 2});
    ScratchFolder dir;
    const std::string name = dir / "sound.wav";
    ASSERT_EQ(track.writeWav(name, 10), "");
    const std::string bytes = readFile(name);
    ASSERT_EQ(bytes.size(), 44u + 490 * 2);
    auto u32 = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(bytes[at])) | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8 |
               std::uint32_t(std::uint8_t(bytes[at + 2])) << 16 | std::uint32_t(std::uint8_t(bytes[at + 3])) << 24;
    };
    EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 8), "RIFFWAVEfmt ");
    EXPECT_EQ(u32(4), 36u + 980);
    EXPECT_EQ(u32(20), 0x00010001u);  // PCM, one channel
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(34) & 0xffff, 16u);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(u32(40), 980u);
    // The clack's loudest sample, in the second tick.
    std::size_t loudest = 0;
    for (std::size_t i = 0; i < bank.clack.size(); ++i)
        if (std::fabs(bank.clack[i]) > std::fabs(bank.clack[loudest])) loudest = i;
    const std::size_t at = 44 + 2 * (49 + loudest);
    const auto pcm = std::int16_t(std::uint16_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8));
    EXPECT_EQ(std::abs(pcm), 26214);  // 0.8 of full scale

    EXPECT_NE(track.writeWav(dir.path() + "/no/such/folder/sound.wav", 10).find("sound track"), std::string::npos);
    // Never over a file, never through a link.
    EXPECT_EQ(track.writeWav(name, 10), name + ": cannot write sound track: file exists");
    EXPECT_EQ(bytes.size(), std::filesystem::file_size(name));
    const std::string link = dir / "link.wav";
    std::filesystem::create_symlink(dir / "target.wav", link);
    EXPECT_EQ(track.writeWav(link, 10), link + ": cannot write sound track: file exists");
    EXPECT_FALSE(std::filesystem::exists(dir / "target.wav"));
}
