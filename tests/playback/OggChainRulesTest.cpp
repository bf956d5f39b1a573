#include <gtest/gtest.h>

#include "playback/OggChainRules.h"

namespace playback {
namespace {

std::string Header(char kind, std::size_t size) {
  std::string h = kind + std::string("vorbis") + std::string(size - 7, '\0');
  return h;
}

TEST(VorbisChain, CollectsANewChainsHeadersInOrder) {
  std::string id = Header(1, 30);
  id[11] = 1;                                  // mono
  id[12] = '\x22', id[13] = '\x56';            // 22050 Hz
  const std::string comment = Header(3, 300);  // laced as 255 + 45
  const std::string setup = Header(5, 4000);
  const auto add = [](VorbisChain& chain, const std::string& p) {
    return chain.Add(reinterpret_cast<const std::uint8_t*>(p.data()), p.size());
  };
  VorbisChain chain;
  EXPECT_FALSE(add(chain, setup)) << "a set-up without the headers before it";
  EXPECT_FALSE(add(chain, Header(1, 20))) << "an identification header too short";
  EXPECT_FALSE(add(chain, comment));
  EXPECT_FALSE(add(chain, setup));
  EXPECT_FALSE(add(chain, id));
  EXPECT_FALSE(add(chain, comment));
  EXPECT_TRUE(add(chain, setup));
  EXPECT_EQ(chain.SampleRate(), 22050);
  EXPECT_EQ(chain.Channels(), 1);
  EXPECT_EQ(chain.Headers(), std::string("\x02\x1E\xFF\x2D", 4) + id + comment + setup);
  EXPECT_EQ(VorbisPacketKind(reinterpret_cast<const std::uint8_t*>("\x05vorbi"), 6), VorbisPacket::Audio);
}

}  // namespace
}  // namespace playback
