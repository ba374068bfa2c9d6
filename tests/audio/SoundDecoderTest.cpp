#include "audio/AudioFixtures.h"
#include "engine/audio/SoundDecoder.h"
#include "engine/io/DiskFile.h"
#include "support/LogCapture.h"
#include "support/SetUpNeeds.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>
#include <ogg/ogg.h>
#include <fstream>
#include <iterator>

using namespace engine;
using namespace audiotest;
using namespace testing_support;

namespace {

struct DecoderRef {
    SoundDecoder* d;
    explicit DecoderRef(SoundDecoder* p) : d(p) {}
    ~DecoderRef() {
        if (d) d->release();
    }
    SoundDecoder* operator->() const { return d; }
};

SoundDecoder* decode(const std::string& bytes, const std::string& name) {
    MemoryFile* file = memoryFile(bytes, name);
    SoundDecoder* decoder = getSoundDecoderManager().createDecoder(file, nullptr);
    file->drop();
    return decoder;
}

struct FormatCase {
    const char* label;
    WavSpec spec;
    int32_t format;
};

}  // namespace

TEST(SoundDecoderTest, WaveFormatsGetTheirCodes) {
    auto ext = [](uint16_t ch, uint16_t bits, uint32_t mask) {
        WavSpec w;
        w.tag = 0xFFFE;
        w.channels = ch;
        w.bits = bits;
        w.mask = mask;
        return w;
    };
    auto pcm = [](uint16_t ch, uint16_t bits) {
        WavSpec w;
        w.channels = ch;
        w.bits = bits;
        return w;
    };
    const FormatCase cases[] = {
        {"pcm mono 8", pcm(1, 8), 1},        {"pcm stereo 8", pcm(2, 8), 2},
        {"pcm mono 16", pcm(1, 16), 3},      {"pcm stereo 16", pcm(2, 16), 4},
        {"pcm quad 16", pcm(4, 16), 6},      {"pcm 3 channels", pcm(3, 16), 0},
        {"pcm 24 bit", pcm(1, 24), 0},       {"ext mono 8", ext(1, 8, 4), 1},
        {"ext stereo 16", ext(2, 16, 3), 4}, {"ext rear", ext(2, 16, 48), 5},
        {"ext quad", ext(4, 16, 51), 6},     {"ext 5.1", ext(6, 16, 63), 7},
        {"ext 6.1", ext(7, 16, 319), 8},     {"ext 7.1", ext(8, 16, 1599), 9},
        {"ext bad mask", ext(2, 16, 7), 0},  {"ext 5.1 8 bit", ext(6, 8, 63), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LogCapture log;
        DecoderRef decoder(decode(makeWav(c.spec), "a.wav"));
        if (c.format == 0) {
            EXPECT_EQ(decoder.d, nullptr);
            continue;
        }
        ASSERT_NE(decoder.d, nullptr);
        EXPECT_EQ(decoder->getFormat(), c.format);
        EXPECT_EQ(decoder->getChannels(), c.spec.channels);
        EXPECT_EQ(decoder->getRate(), 22050);
        EXPECT_EQ(decoder->getFrames(), int32_t(c.spec.frames));
        EXPECT_EQ(decoder->getName(), "a.wav");
        EXPECT_EQ(decoder->bytesPerFrame(), c.spec.channels * c.spec.bits / 8);
    }
}

TEST(SoundDecoderTest, WaveReadsAllFramesAndRewinds) {
    WavSpec w;
    w.channels = 2;
    w.bits = 8;
    w.frames = 51;  // odd data size: a pad byte follows, and a trailing chunk
    std::string trailer = "LIST";
    put32(trailer, 4);
    trailer += "abcd";
    std::string file = makeWav(w);
    file += trailer;
    DecoderRef decoder(decode(file, "b.wav"));
    ASSERT_NE(decoder.d, nullptr);
    EXPECT_EQ(decoder->getFormat(), 2);
    std::vector<char> buffer(1000, 0);
    EXPECT_EQ(decoder->read(buffer.data(), 40), 40);
    EXPECT_EQ(decoder->read(buffer.data() + 80, 40), 11);  // the rest, never the trailing chunk
    EXPECT_EQ(decoder->read(buffer.data(), 40), 0);
    EXPECT_EQ(std::string(buffer.data(), 102), samples(w));
    EXPECT_EQ(decoder->read(buffer.data(), 0), 0);
    ASSERT_TRUE(decoder->rewind());
    EXPECT_EQ(decoder->read(buffer.data(), 1), 1);
    EXPECT_EQ(buffer[0], samples(w)[0]);
}

TEST(SoundDecoderTest, WaveLayoutsAccepted) {
    WavSpec dataFirst;
    dataFirst.dataFirst = true;
    WavSpec lower;
    lower.riffLower = true;
    std::string junk = "junk";
    put32(junk, 3);
    junk += "xyz";
    junk.push_back('\0');
    for (const auto& [label, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"data before fmt", makeWav(dataFirst)},
             {"lower-case ids", makeWav(lower)},
             {"odd chunk before fmt", makeWav(WavSpec(), junk)}}) {
        SCOPED_TRACE(label);
        DecoderRef decoder(decode(bytes, "c.wav"));
        ASSERT_NE(decoder.d, nullptr);
        EXPECT_EQ(decoder->getFrames(), 100);
        std::vector<char> buffer(200);
        EXPECT_EQ(decoder->read(buffer.data(), 100), 100);
        EXPECT_EQ(std::string(buffer.data(), 200), samples(WavSpec()));
    }
}

TEST(SoundDecoderTest, BrokenWaveFilesGiveNoDecoder) {
    WavSpec w;
    std::string good = makeWav(w);
    std::string noData = good.substr(0, 12) + fmtChunk(w);
    std::string noFmt = good.substr(0, 12) + dataChunk(samples(w));
    std::string emptyData = good.substr(0, 12) + fmtChunk(w) + dataChunk("");
    std::string hugeFmt = good.substr(0, 12);
    hugeFmt += "fmt ";
    put32(hugeFmt, 0xFFFFFFF0u);
    std::string shortFmt = good.substr(0, 12) + "fmt ";
    put32(shortFmt, 8);
    shortFmt += std::string(8, '\1');
    shortFmt += dataChunk(samples(w));
    WavSpec zeroChannels;
    zeroChannels.channels = 0;
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"riff only", "RIFF"},
        {"not wave", "RIFF\x10\0\0\0AVI LIST\0\0\0\0"},
        {"header only", good.substr(0, 12)},
        {"no data chunk", noData},
        {"no fmt chunk", noFmt},
        {"empty data", emptyData},
        {"fmt larger than file", hugeFmt},
        {"fmt too short", shortFmt},
        {"zero channels", makeWav(zeroChannels)},
        {"data cut inside first frame", good.substr(0, good.size() - 199)},
    };
    for (const auto& [label, bytes] : cases) {
        SCOPED_TRACE(label);
        LogCapture log;
        DecoderRef decoder(decode(bytes, "d.wav"));
        EXPECT_EQ(decoder.d, nullptr);
    }
}

TEST(SoundDecoderTest, TruncatedWaveReadsOnlyWhatIsThere) {
    WavSpec w;
    std::string good = makeWav(w);
    std::string cut = good.substr(0, good.size() - 50);  // the data chunk claims 200 bytes, 150 remain
    LogCapture log;
    DecoderRef decoder(decode(cut, "e.wav"));
    ASSERT_NE(decoder.d, nullptr);
    EXPECT_EQ(decoder->getFrames(), 75);
    EXPECT_TRUE(log.contains("larger than its file"));
    std::vector<char> buffer(400);
    EXPECT_EQ(decoder->read(buffer.data(), 200), 75);
}

TEST(SoundDecoderTest, ContentProbeFindsWaveBehindWrongExtension) {
    DecoderRef asOgg(decode(makeWav(WavSpec()), "x.ogg"));
    ASSERT_NE(asOgg.d, nullptr);
    EXPECT_EQ(asOgg->getFormat(), 3);
    DecoderRef noExtension(decode(makeWav(WavSpec()), "sound"));
    ASSERT_NE(noExtension.d, nullptr);
    DecoderRef garbage(decode(std::string(300, 'z'), "y.wav"));
    EXPECT_EQ(garbage.d, nullptr);
    EXPECT_EQ(getSoundDecoderManager().createDecoder(nullptr, nullptr), nullptr);
}

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(SoundDecoderTest, OggFilesDecode) {
    TempDir dir;
    std::string mono = makeOggWithSox(dir.file("mono.ogg"), 1);
    if (mono.empty()) SKIP_OR_FAIL_UNDER_CI() << "sox is not installed; no Ogg fixture";
    std::string bytes = readAll(mono);
    struct Case {
        const char* label;
        std::string name;
    } cases[] = {{"by extension", "m.ogg"}, {"by content", "m.snd"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        DecoderRef decoder(decode(bytes, c.name));
        ASSERT_NE(decoder.d, nullptr);
        EXPECT_EQ(decoder->getFormat(), 3);
        EXPECT_EQ(decoder->getChannels(), 1);
        EXPECT_EQ(decoder->getRate(), 22050);
        EXPECT_EQ(decoder->getFrames(), 11025);
        std::vector<int16_t> pcm(12000);
        int32_t total = 0;
        for (int32_t got; (got = decoder->read(pcm.data(), 4000)) > 0;) total += got;
        EXPECT_EQ(total, 11025);
        ASSERT_TRUE(decoder->rewind());
        EXPECT_EQ(decoder->read(pcm.data(), 12000), 11025);
    }
    // Stereo and six channels decode; three channels have no OpenAL format.
    std::string stereo = makeOggWithSox(dir.file("stereo.ogg"), 2);
    DecoderRef s(decode(readAll(stereo), "s.ogg"));
    ASSERT_NE(s.d, nullptr);
    EXPECT_EQ(s->getFormat(), 4);
    std::string six = makeOggWithSox(dir.file("six.ogg"), 6);
    DecoderRef sixDecoder(decode(readAll(six), "six.ogg"));
    ASSERT_NE(sixDecoder.d, nullptr);
    EXPECT_EQ(sixDecoder->getFormat(), 7);
    std::vector<int16_t> pcm(600);
    EXPECT_EQ(sixDecoder->read(pcm.data(), 100), 100);
    std::string three = makeOggWithSox(dir.file("three.ogg"), 3);
    DecoderRef threeDecoder(decode(readAll(three), "three.ogg"));
    EXPECT_EQ(threeDecoder.d, nullptr);
}

TEST(SoundDecoderTest, TruncatedOggDoesNotReadPastItsEnd) {
    TempDir dir;
    std::string path = makeOggWithSox(dir.file("t.ogg"), 1);
    if (path.empty()) SKIP_OR_FAIL_UNDER_CI() << "sox is not installed; no Ogg fixture";
    std::string bytes = readAll(path);
    const size_t keeps[] = {0, 30, bytes.size() / 3, bytes.size() - 100};
    for (size_t keep : keeps) {
        SCOPED_TRACE(keep);
        LogCapture log;
        DecoderRef decoder(decode(bytes.substr(0, keep), "t.ogg"));
        if (!decoder.d) continue;
        std::vector<int16_t> pcm(20000);
        int32_t total = 0;
        for (int32_t got; (got = decoder->read(pcm.data(), 4000)) > 0;) total += got;
        EXPECT_LE(total, decoder->getFrames());
    }
}

namespace {
// The file's pages, each moved to another stream (serial number + offset).
std::string moveOggPages(const std::string& bytes, uint32_t offset, size_t pageCount = size_t(-1)) {
    std::string out;
    size_t at = 0;
    for (size_t n = 0; n < pageCount && at + 27 <= bytes.size(); ++n) {
        const size_t segments = uint8_t(bytes[at + 26]);
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += uint8_t(bytes[at + 27 + i]);
        std::string page = bytes.substr(at, 27 + segments + body);
        uint32_t serial = 0;
        for (int i = 0; i < 4; ++i) serial |= uint32_t(uint8_t(page[14 + i])) << (8 * i);
        serial += offset;
        for (int i = 0; i < 4; ++i) page[14 + i] = char((serial >> (8 * i)) & 0xFF);
        ogg_page view;
        view.header = reinterpret_cast<unsigned char*>(&page[0]);
        view.header_len = long(27 + segments);
        view.body = view.header + view.header_len;
        view.body_len = long(body);
        ogg_page_checksum_set(&view);
        out += page;
        at += page.size();
    }
    return out;
}

int errorsNaming(const LogCapture& log, const std::string& name) {
    int count = 0;
    for (const auto& entry : log.entries()) count += entry.level == LOG_ERROR && entry.hint == name;
    return count;
}
}  // namespace

// A chained file whose later link stops before its headers are complete is
// refused with one message, and opening it leaves nothing behind (vorbisfile
// itself leaks on such links: run under the leak checker). Sound chains play
// through.
TEST(SoundDecoderTest, ChainedOggNeedsWholeHeadersInEveryLink) {
    TempDir dir;
    std::string path = makeOggWithSox(dir.file("c.ogg"), 1);
    if (path.empty()) GTEST_SKIP() << "sox is not installed; no Ogg fixture";
    const std::string good = readAll(path);
    const std::string idPage = moveOggPages(good, 1, 1);
    const std::pair<const char*, std::string> damaged[] = {
        {"link cut after its identification page", good + idPage},
        {"new stream before the link's headers", good + idPage + moveOggPages(good, 2, 1)},
    };
    for (const auto& [label, bytes] : damaged)
        for (const char* name : {"c.ogg", "c.snd"}) {
            SCOPED_TRACE(std::string(label) + " as " + name);
            LogCapture log;
            DecoderRef decoder(decode(bytes, name));
            EXPECT_EQ(decoder.d, nullptr);
            EXPECT_EQ(errorsNaming(log, name), 1);
        }
    LogCapture log;
    DecoderRef chained(decode(good + moveOggPages(good, 1), "chain.ogg"));
    ASSERT_NE(chained.d, nullptr);
    EXPECT_EQ(chained->getFrames(), 2 * 11025);
    EXPECT_FALSE(log.hasErrors());
}

// A decoder that the name picked and that refused the file does not open it
// again for its content.
TEST(SoundDecoderTest, FileRefusedByItsNamedDecoderIsOpenedOnce) {
    WavSpec w;
    w.bits = 24;
    LogCapture log;
    DecoderRef decoder(decode(makeWav(w), "u.wav"));
    EXPECT_EQ(decoder.d, nullptr);
    EXPECT_EQ(errorsNaming(log, "u.wav"), 1);
}
