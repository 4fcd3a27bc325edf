#include "s100/wire/frame.h"

#include <gtest/gtest.h>

#include <string>

#include "s100/proto/admin.pb.h"

namespace tlv::wire {
namespace {

std::string header(std::uint32_t length) {
    return {static_cast<char>(length >> 24), static_cast<char>((length >> 16) & 0xFF),
            static_cast<char>((length >> 8) & 0xFF), static_cast<char>(length & 0xFF)};
}

std::string helloFrame(const std::string& clientName) {
    ClientFrame frame;
    frame.mutable_hello()->set_protocol_version(kProtocolVersion);
    frame.mutable_hello()->set_client_name(clientName);
    std::string bytes;
    EXPECT_TRUE(encodeFrame(frame, bytes));
    return bytes;
}

TEST(FrameDecoder, EncodedFrameFedByteByByteComesOutOnceComplete) {
    const std::string bytes = helloFrame("admin");
    ASSERT_EQ(bytes.substr(0, 4), header(static_cast<std::uint32_t>(bytes.size() - 4)));

    FrameDecoder decoder;
    std::string payload;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        decoder.feed(&bytes[i], 1);
        ASSERT_EQ(decoder.next(payload), FrameStatus::NeedMore) << "after byte " << i;
    }
    decoder.feed(&bytes.back(), 1);
    ASSERT_EQ(decoder.next(payload), FrameStatus::Frame);
    ClientFrame decoded;
    ASSERT_TRUE(decoded.ParseFromString(payload));
    EXPECT_EQ(decoded.hello().client_name(), "admin");
    EXPECT_EQ(decoded.hello().protocol_version(), kProtocolVersion);
    EXPECT_EQ(decoder.next(payload), FrameStatus::NeedMore);
    EXPECT_EQ(decoder.buffered(), 0u);
}

TEST(FrameDecoder, SeveralFramesInOneFeedAndASplitTail) {
    const std::string all = helloFrame("one") + header(0) + helloFrame("three");
    FrameDecoder decoder;
    decoder.feed(all.data(), all.size() - 3);

    std::string payload;
    ClientFrame decoded;
    ASSERT_EQ(decoder.next(payload), FrameStatus::Frame);
    ASSERT_TRUE(decoded.ParseFromString(payload));
    EXPECT_EQ(decoded.hello().client_name(), "one");
    ASSERT_EQ(decoder.next(payload), FrameStatus::Frame);
    EXPECT_EQ(payload, "");
    ASSERT_EQ(decoder.next(payload), FrameStatus::NeedMore);

    decoder.feed(all.data() + all.size() - 3, 3);
    ASSERT_EQ(decoder.next(payload), FrameStatus::Frame);
    ASSERT_TRUE(decoded.ParseFromString(payload));
    EXPECT_EQ(decoded.hello().client_name(), "three");
}

TEST(FrameDecoder, GarbagePayloadIsAFrameThatDoesNotParse) {
    // The decoder only cuts frames; deciding that the bytes are no message is the parser's job.
    const std::string garbage = header(5) + std::string("\xFF\xFF\xFF\xFF\xFF", 5);
    FrameDecoder decoder;
    decoder.feed(garbage.data(), garbage.size());
    std::string payload;
    ASSERT_EQ(decoder.next(payload), FrameStatus::Frame);
    EXPECT_EQ(payload.size(), 5u);
    ClientFrame decoded;
    EXPECT_FALSE(decoded.ParseFromString(payload));
}

TEST(FrameDecoder, OversizedLengthBreaksTheStreamForGood) {
    FrameDecoder atLimit;
    const std::string limit = header(kMaxFrameBytes);
    atLimit.feed(limit.data(), limit.size());
    std::string payload;
    EXPECT_EQ(atLimit.next(payload), FrameStatus::NeedMore);

    FrameDecoder decoder;
    const std::string over = header(kMaxFrameBytes + 1) + "abc";
    decoder.feed(over.data(), over.size());
    EXPECT_EQ(decoder.next(payload), FrameStatus::Oversized);
    EXPECT_EQ(decoder.buffered(), 0u);

    const std::string valid = helloFrame("late");
    decoder.feed(valid.data(), valid.size());
    EXPECT_EQ(decoder.next(payload), FrameStatus::Oversized);
    EXPECT_EQ(decoder.buffered(), 0u);

    FrameDecoder allOnes;
    const std::string huge = "\xFF\xFF\xFF\xFF";
    allOnes.feed(huge.data(), huge.size());
    EXPECT_EQ(allOnes.next(payload), FrameStatus::Oversized);
}

TEST(FrameEncoder, RefusesAMessageAboveTheLimitAndLeavesTheOutputAlone) {
    ServerFrame frame;
    frame.mutable_hello()->set_server_name(std::string(kMaxFrameBytes, 'x'));
    std::string out = "kept";
    EXPECT_FALSE(encodeFrame(frame, out));
    EXPECT_EQ(out, "kept");
}

TEST(FrameParse, DeepestLegalKvSetFitsThroughTheEnvelope) {
    // A profile answer whose contents nest to the deepest legal set.
    ServerFrame frame;
    KVSet* level = frame.mutable_response()->mutable_result();
    for (int depth = 0; depth < 33; ++depth) {
        Pair* pair = level->add_pairs();
        pair->set_key(static_cast<std::uint32_t>(depth));
        level = pair->mutable_value()->mutable_kvset_value();
    }
    const std::string payload = frame.SerializeAsString();
    ServerFrame plain;
    EXPECT_FALSE(plain.ParseFromString(payload)) << "the library default is too tight";
    ServerFrame parsed;
    ASSERT_TRUE(parseFrame(payload, parsed));
    EXPECT_EQ(parsed.SerializeAsString(), payload);
    EXPECT_FALSE(parseFrame("\xFF\xFF\xFF", parsed));
}

TEST(FrameDecoder, HandshakeLimitHoldsUntilRaised) {
    FrameDecoder decoder{kMaxHandshakeFrameBytes};
    const std::string small = helloFrame(std::string(100, 'n'));
    decoder.feed(small.data(), small.size());
    std::string payload;
    EXPECT_EQ(decoder.next(payload), FrameStatus::Frame);
    decoder.setMaxFrameBytes(kMaxFrameBytes);
    const std::string large = helloFrame(std::string(kMaxHandshakeFrameBytes, 'n'));
    decoder.feed(large.data(), large.size());
    EXPECT_EQ(decoder.next(payload), FrameStatus::Frame) << "raised after the handshake";

    FrameDecoder early{kMaxHandshakeFrameBytes};
    early.feed(large.data(), 4);
    EXPECT_EQ(early.next(payload), FrameStatus::Oversized) << "refused from its header on";
}

// An AddProfile request whose contents hold one array of count elements made by fill.
std::string arrayRequest(int count, void (*fill)(Value&)) {
    ClientFrame frame;
    KVSet& contents = *frame.mutable_request()->mutable_add_profile()->mutable_contents();
    Array& array = *contents.add_pairs()->mutable_value()->mutable_array_value();
    for (int i = 0; i < count; ++i) {
        fill(*array.add_elements());
    }
    return frame.SerializeAsString();
}

TEST(FrameParse, DecodingCostIsBoundedByTheFrameSize) {
    constexpr int kElements = 100000;
    ClientFrame parsed;
    // Real elements (a bool, an empty string, a set whose pair holds a value) pass.
    EXPECT_TRUE(parseFrame(arrayRequest(kElements, [](Value& v) { v.set_bool_value(1); }), parsed));
    EXPECT_TRUE(parseFrame(arrayRequest(kElements, [](Value& v) { v.set_string_value(""); }),
                           parsed));
    EXPECT_TRUE(parseFrame(arrayRequest(kElements,
                                        [](Value& v) {
                                            Pair& pair = *v.mutable_kvset_value()->add_pairs();
                                            pair.set_key(0x01600400);
                                            pair.mutable_value()->set_uint_value(1);
                                        }),
                           parsed));
    // Empty elements cost two bytes each on the wire and tens in memory: refused unparsed.
    EXPECT_FALSE(parseFrame(arrayRequest(kElements, [](Value&) {}), parsed));
    EXPECT_EQ(parsed.ByteSizeLong(), 0u) << "nothing of a refused frame is kept";
    // A handful of empty elements in a small frame is within the allowance.
    EXPECT_TRUE(parseFrame(arrayRequest(100, [](Value&) {}), parsed));
}

}  // namespace
}  // namespace tlv::wire
