// The readers of outside data behind http and play_wav: Base64, the WAV
// header reader and the HTTP response reader.
#include <gtest/gtest.h>

#include <string>

#include "commands/system/http_response.h"
#include "platform/sound.h"
#include "support/base64.h"

using orvel::HttpResponseReader;

TEST(Base64, RoundTripsEveryByteAndRejectsBadText) {
  std::string all;
  for (int i = 0; i < 256; i++) all += char(i);
  for (size_t n : {0u, 1u, 2u, 3u, 4u, 5u, 255u, 256u}) {
    std::string back;
    std::string enc = orvel::base64Encode(all.substr(0, n));
    if (enc.size() > 3) {
      ASSERT_TRUE(orvel::base64Decode(enc, back)) << n;
      EXPECT_EQ(back, all.substr(0, n));
    }
  }
  EXPECT_EQ(orvel::base64Encode("admin:s3cret"), "YWRtaW46czNjcmV0");
  std::string out;
  EXPECT_TRUE(orvel::base64Decode("QUJD\r\nREU=", out));
  EXPECT_EQ(out, "ABCDE");
  for (const char* bad : {"", "QUJ", "QU!D", "QUJD=QUJD", "QUJDR===", "Q===", "QUJDR"})
    EXPECT_FALSE(orvel::base64Decode(bad, out)) << bad;
}

namespace {
std::string wav(int tag, int channels, int rate, int bits, const std::string& samples, bool truncate = false) {
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  int align = channels * bits / 8;
  std::string fmt = u16(uint16_t(tag)) + u16(uint16_t(channels)) + u32(uint32_t(rate)) + u32(uint32_t(rate * align)) +
                    u16(uint16_t(align)) + u16(uint16_t(bits));
  std::string body = "WAVEfmt " + u32(16) + fmt + "data" + u32(uint32_t(samples.size() + (truncate ? 1000 : 0))) + samples;
  return "RIFF" + u32(uint32_t(body.size())) + body;
}
}  // namespace

TEST(WavReader, FormatsAndSamples) {
  plat::WavFormat f;
  std::string why;
  std::string s16 = wav(1, 2, 22050, 16, std::string("\x00\x80\xff\x7f\x00\x00\x00\x40", 8));
  ASSERT_TRUE(plat::parseWav(s16, f, why)) << why;
  EXPECT_EQ(f.channels, 2);
  EXPECT_EQ(f.sampleRate, 22050);
  EXPECT_EQ(f.frames(), 2u);
  EXPECT_FLOAT_EQ(plat::wavSample(s16, f, 0, 0), -1.0f);
  EXPECT_NEAR(plat::wavSample(s16, f, 0, 1), 1.0f, 1e-4);
  EXPECT_FLOAT_EQ(plat::wavSample(s16, f, 1, 1), 0.5f);
  std::string u8 = wav(1, 1, 8000, 8, std::string("\x80\x00\xff", 3));
  ASSERT_TRUE(plat::parseWav(u8, f, why));
  EXPECT_FLOAT_EQ(plat::wavSample(u8, f, 0, 0), 0.0f);
  EXPECT_FLOAT_EQ(plat::wavSample(u8, f, 1, 0), -1.0f);
  // A data chunk longer than the image plays what is there.
  std::string cut = wav(1, 1, 8000, 16, std::string(6, '\x10'), true);
  ASSERT_TRUE(plat::parseWav(cut, f, why));
  EXPECT_EQ(f.frames(), 3u);
}

TEST(WavReader, RejectsWhatCannotPlay) {
  plat::WavFormat f;
  std::string why;
  EXPECT_FALSE(plat::parseWav("", f, why));
  EXPECT_FALSE(plat::parseWav("RIFF....WAVE", f, why));
  EXPECT_FALSE(plat::parseWav(std::string("not a wav file at all, just text"), f, why));
  EXPECT_FALSE(plat::parseWav(wav(2, 1, 8000, 4, "abcd"), f, why));  // ADPCM
  EXPECT_FALSE(plat::parseWav(wav(1, 0, 8000, 16, "abcd"), f, why));
  EXPECT_FALSE(plat::parseWav(wav(1, 1, 8000, 12, "abcd"), f, why));
  EXPECT_FALSE(plat::parseWav(wav(1, 1, 8000, 16, ""), f, why));
  EXPECT_FALSE(plat::parseWav(wav(1, 1, 8000, 16, "abcd").substr(0, 30), f, why));
}

namespace {
std::string feedAll(HttpResponseReader& r, const std::string& wire, size_t piece) {
  for (size_t i = 0; i < wire.size() && !r.done(); i += piece) r.feed(std::string_view(wire).substr(i, piece));
  return r.text();
}
}  // namespace

TEST(HttpResponse, ContentLengthChunkedAndNoBody) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";
  for (size_t piece : {1u, 3u, 1000u}) {
    HttpResponseReader r(false, false);
    EXPECT_EQ(feedAll(r, head + "hello and more", piece), head + "hello");
    EXPECT_TRUE(r.done());
  }
  const std::string ch = "HTTP/1.1 200 OK\r\ntransfer-encoding: CHUNKED\r\n\r\n";
  std::string wire = ch + "5;ext=1\r\nhel@o\r\nA\r\n0123456789\r\n0\r\nTrailer: x\r\n\r\nJUNK";
  wire[wire.find('@')] = '\0';
  for (size_t piece : {1u, 2u, 7u, 4096u}) {
    HttpResponseReader r(false, false);
    EXPECT_EQ(feedAll(r, wire, piece), ch + std::string("hel\0o0123456789", 15)) << piece;
    EXPECT_TRUE(r.done());
  }
  HttpResponseReader old(true, false);  // HTTP/1.0: kept as it came
  feedAll(old, wire, 5);
  EXPECT_EQ(old.text().substr(0, wire.size() - 4), wire.substr(0, wire.size() - 4));
  HttpResponseReader head1(false, true);
  EXPECT_EQ(feedAll(head1, head + "xx", 4), head);
  EXPECT_TRUE(head1.done());
  HttpResponseReader none(false, false);
  std::string nc = "HTTP/1.1 304 Not Modified\r\nContent-Length: 9\r\n\r\n";
  EXPECT_EQ(feedAll(none, nc, 10), nc);
  EXPECT_TRUE(none.done());
  HttpResponseReader zero(false, false);
  EXPECT_TRUE(zero.feed("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
}

TEST(HttpResponse, UntilCloseAndBrokenReplies) {
  HttpResponseReader r(false, false);
  EXPECT_FALSE(r.feed("HTTP/1.0 200 OK\r\n\r\nab"));
  EXPECT_FALSE(r.feed(std::string("\0cd", 3)));
  EXPECT_EQ(r.text(), std::string("HTTP/1.0 200 OK\r\n\r\nab\0cd", 24));
  HttpResponseReader raw(false, false);
  raw.feed("no headers here");
  EXPECT_EQ(raw.text(), "no headers here");
  EXPECT_FALSE(raw.done());
  HttpResponseReader bad(false, false);  // a broken chunk size ends the body
  EXPECT_TRUE(bad.feed("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\nzz\r\nmore"));
  EXPECT_EQ(bad.text(), "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nabc");
  HttpResponseReader lie(false, false);  // an unreadable Content-Length is ignored
  lie.feed("HTTP/1.1 200 OK\r\nContent-Length: lots\r\n\r\nbody");
  EXPECT_FALSE(lie.done());
}
