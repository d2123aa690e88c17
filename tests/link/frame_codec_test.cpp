#include "link/frame_codec.h"

#include <gtest/gtest.h>

#include "tests/link/link_fakes.h"

namespace lumiq::test {
namespace {

Bytes Pattern(size_t size, uint8_t seed = 1) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

int Call(FakeChannel& channel, uint8_t command, GuardedBuffer& buffer, uint16_t* length,
         FrameObserver* observer = nullptr) {
  return Transact(&channel, command, 0x00, buffer.data(), buffer.size(), length, 50, observer);
}

// --- requests -------------------------------------------------------------

TEST(TransactRequest, WorkedFramesByteForByte) {
  FakeChannel channel;
  channel.QueueReply(0, {});
  channel.QueueReply(0, {});
  uint8_t empty[1] = {};
  uint16_t length = 0;
  ASSERT_EQ(Transact(&channel, 0x09, 0x00, empty, sizeof empty, &length), 0);

  Bytes key = BytesOf("qrcode");
  key.resize(256);
  length = 6;
  ASSERT_EQ(Transact(&channel, 0x08, 0x00, key.data(), key.size(), &length), 0);

  ASSERT_EQ(channel.writes.size(), 2u);
  EXPECT_EQ(channel.writes[0], Hex("66 BB EE 09 00 00 00 3A"));
  EXPECT_EQ(channel.writes[1], Hex("66 BB EE 08 00 06 00 71 72 63 6F 64 65 33"));
  EXPECT_EQ(channel.readTimeouts, (std::vector<int>{kReplyTimeoutMs, kReplyTimeoutMs}));
}

TEST(TransactRequest, LengthIsLittleEndianAndChecksumCoversEveryByte) {
  FakeChannel channel;
  channel.QueueReply(0, {});
  GuardedBuffer buffer(0x0102);
  const Bytes payload = Pattern(0x0102);
  std::copy(payload.begin(), payload.end(), buffer.data());
  uint16_t length = 0x0102;
  ASSERT_EQ(Call(channel, 0x07, buffer, &length), 0);

  const Bytes& frame = channel.writes.at(0);
  ASSERT_EQ(frame.size(), 0x0102u + 8);
  EXPECT_EQ(frame[5], 0x02);
  EXPECT_EQ(frame[6], 0x01);
  EXPECT_EQ(Bytes(frame.begin() + 7, frame.end() - 1), payload);
  uint8_t checksum = 0;
  for (size_t i = 0; i + 1 < frame.size(); ++i) checksum ^= frame[i];
  EXPECT_EQ(frame.back(), checksum);
}

TEST(TransactRequest, PayloadBeyondTheFrameBufferIsRefusedUnsent) {
  FakeChannel channel;
  GuardedBuffer buffer(2048);
  uint16_t length = 1017;
  EXPECT_EQ(Call(channel, 0x07, buffer, &length), kTransactNotSent);
  EXPECT_TRUE(channel.writes.empty());
  EXPECT_EQ(length, 1017);

  channel.QueueReply(0, {});
  length = 1016;
  EXPECT_EQ(Call(channel, 0x07, buffer, &length), 0);
  ASSERT_EQ(channel.writes.size(), 1u);
  EXPECT_EQ(channel.writes[0].size(), 1024u);
}

TEST(TransactRequest, NoChannelOrFailedWriteIsMinusOne) {
  uint8_t buffer[8] = {};
  uint16_t length = 0;
  EXPECT_EQ(Transact(nullptr, 0x09, 0x00, buffer, sizeof buffer, &length), kTransactNotSent);

  FakeChannel channel;
  channel.writeResult = -1;
  channel.QueueReply(0, {});
  EXPECT_EQ(Transact(&channel, 0x09, 0x00, buffer, sizeof buffer, &length), kTransactNotSent);
  EXPECT_TRUE(channel.readTimeouts.empty()) << "no reply is awaited for a request not sent";
}

// --- replies ----------------------------------------------------------------

TEST(TransactReply, EmptyReplyLeavesTheBufferUntouched) {
  FakeChannel channel;
  channel.QueueReply(0, {});
  GuardedBuffer buffer(256);
  uint16_t length = 0;
  ASSERT_EQ(Call(channel, 0x09, buffer, &length), 0);
  EXPECT_EQ(length, 0);
  EXPECT_TRUE(buffer.Untouched());
}

TEST(TransactReply, DataAcrossReportBoundaries) {
  struct Case {
    uint16_t dataLength;
    size_t reports;
    size_t delivered;
  };
  for (const Case& c : {Case{1, 1, 55}, Case{55, 1, 55}, Case{56, 2, 119}, Case{119, 2, 119},
                        Case{120, 3, 183}, Case{247, 4, 247}, Case{300, 5, 311}}) {
    SCOPED_TRACE(c.dataLength);
    EXPECT_EQ(CommandFrame::ReplyReportCount(c.dataLength), c.reports);
    EXPECT_EQ(CommandFrame::ReplyBytesDelivered(c.dataLength), c.delivered);

    FakeChannel channel;
    const Bytes data = Pattern(c.dataLength, 3);
    const Bytes frame = ReplyFrame(0, data);
    const std::vector<Bytes> reports = CutReports(frame);
    ASSERT_EQ(reports.size(), c.reports);
    channel.QueueReports(reports);

    // Exactly the room the reply needs: the last byte of the last report
    // (checksum or zero fill) must not be copied.
    GuardedBuffer buffer(c.delivered);
    uint16_t length = 0;
    ASSERT_EQ(Call(channel, 0x08, buffer, &length), 0);
    EXPECT_EQ(length, c.dataLength);
    const Bytes got = buffer.Contents();
    EXPECT_EQ(Bytes(got.begin(), got.begin() + c.dataLength), data);
    EXPECT_TRUE(buffer.GuardsIntact());
    EXPECT_TRUE(channel.reads.empty()) << "every report of the reply is consumed";
  }
}

TEST(TransactReply, LengthFieldIsLittleEndian) {
  FakeChannel channel;
  channel.QueueReply(0, Pattern(300));
  EXPECT_EQ(channel.reads.front().report[6], 0x2C);
  EXPECT_EQ(channel.reads.front().report[7], 0x01);
  GuardedBuffer buffer(311);
  uint16_t length = 0;
  ASSERT_EQ(Call(channel, 0x08, buffer, &length), 0);
  EXPECT_EQ(length, 300);
}

TEST(TransactReply, ReplyTooLongForTheBufferIsRefusedAndReadToItsEnd) {
  FakeChannel channel;
  channel.QueueReply(0, Pattern(56));  // 119 bytes delivered
  channel.QueueReply(0, {});           // the next exchange's reply
  GuardedBuffer buffer(118);
  const Bytes request = Pattern(4);
  std::copy(request.begin(), request.end(), buffer.data());
  const Bytes before = buffer.Contents();
  uint16_t length = 4;
  EXPECT_EQ(Call(channel, 0x08, buffer, &length), kTransactNoReply);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(buffer.Contents(), before);
  EXPECT_TRUE(buffer.GuardsIntact());
  ASSERT_EQ(channel.reads.size(), 1u) << "the second report of the refused reply was consumed";

  // A commit has room for no data at all.
  channel.reads.clear();
  channel.QueueReply(0, Bytes{0x01});
  GuardedBuffer one(1);
  length = 0;
  EXPECT_EQ(Call(channel, 0x09, one, &length), kTransactNoReply);
  EXPECT_TRUE(one.Untouched());
}

TEST(TransactReply, NonZeroStatusIsRefusalEvenWhenWellFormed) {
  FakeChannel channel;
  channel.QueueReply(1, Pattern(10));
  GuardedBuffer buffer(256);
  uint16_t length = 0;
  EXPECT_EQ(Call(channel, 0x08, buffer, &length), kTransactRefused);
  EXPECT_EQ(length, 0);
  EXPECT_TRUE(buffer.Untouched());
}

TEST(TransactReply, ChecksumAndLeadingBytesAreNotChecked) {
  FakeChannel channel;
  Bytes frame = ReplyFrame(0, BytesOf("abc"));
  frame[0] = 0x00;
  frame[3] = 0xFF;
  frame.back() ^= 0x55;
  channel.QueueReports(CutReports(frame));
  GuardedBuffer buffer(256);
  uint16_t length = 0;
  ASSERT_EQ(Call(channel, 0x08, buffer, &length), 0);
  EXPECT_EQ(length, 3);
  EXPECT_EQ(buffer.data()[0], 'a');
}

TEST(TransactReply, NoValidFirstReportIsMinusTwoWithoutWaiting) {
  for (bool invalid : {false, true}) {
    SCOPED_TRACE(invalid ? "invalid report" : "time-out");
    FakeChannel channel;
    if (invalid) channel.QueueInvalid();
    GuardedBuffer buffer(256);
    uint16_t length = 0;
    EXPECT_EQ(Call(channel, 0x08, buffer, &length), kTransactNoReply);
    EXPECT_EQ(length, 0);
    EXPECT_TRUE(buffer.Untouched());
    EXPECT_EQ(channel.readTimeouts.size(), 1u);
  }
}

TEST(TransactReply, MissingContinuationIsMinusTwoWithinTheBuffer) {
  FakeChannel channel;
  std::vector<Bytes> reports = CutReports(ReplyFrame(0, Pattern(200)));
  reports.pop_back();
  channel.QueueReports(reports);
  GuardedBuffer buffer(247);
  uint16_t length = 6;
  EXPECT_EQ(Call(channel, 0x08, buffer, &length), kTransactNoReply);
  EXPECT_EQ(length, 6);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(TransactReply, InvalidReportsBetweenContinuationsAreSkipped) {
  FakeChannel channel;
  const Bytes data = Pattern(150);
  std::vector<Bytes> reports = CutReports(ReplyFrame(0, data));
  channel.QueueReports({reports[0]});
  channel.QueueInvalid();
  channel.QueueReports({reports[1]});
  channel.QueueInvalid();
  channel.QueueInvalid();
  channel.QueueReports({reports[2]});
  GuardedBuffer buffer(183);
  uint16_t length = 0;
  ASSERT_EQ(Call(channel, 0x08, buffer, &length), 0);
  EXPECT_EQ(length, 150);
  const Bytes got = buffer.Contents();
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 150), data);
}

TEST(TransactReply, EndlessInvalidReportsEndTheCall) {
  FakeChannel channel;
  channel.QueueReports({CutReports(ReplyFrame(0, Pattern(100)))[0]});
  channel.endlessInvalid = true;
  GuardedBuffer buffer(256);
  uint16_t length = 0;
  EXPECT_EQ(Call(channel, 0x08, buffer, &length), kTransactNoReply);
  EXPECT_LE(channel.readTimeouts.size(), 1u + 65u);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(TransactReply, ObserverSeesRequestAndReplyFrames) {
  RecordingObserver observer;
  FakeChannel channel;
  const Bytes reply = ReplyFrame(0, Pattern(60));
  channel.QueueReports(CutReports(reply));
  GuardedBuffer buffer(256);
  buffer.data()[0] = 'k';
  uint16_t length = 1;
  ASSERT_EQ(Call(channel, 0x08, buffer, &length, &observer), 0);
  ASSERT_EQ(observer.requests.size(), 1u);
  EXPECT_EQ(observer.requests[0], channel.writes[0]);
  ASSERT_EQ(observer.replies.size(), 1u);
  EXPECT_EQ(observer.replies[0], reply) << "the whole frame, without the zero fill";

  // A reply cut short is shown as far as it came.
  std::vector<Bytes> reports = CutReports(ReplyFrame(0, Pattern(100)));
  channel.QueueReports({reports[0]});
  length = 1;
  EXPECT_EQ(Call(channel, 0x08, buffer, &length, &observer), kTransactNoReply);
  ASSERT_EQ(observer.replies.size(), 2u);
  EXPECT_EQ(observer.replies[1], reports[0]);

  // No reply at all: nothing to show.
  length = 1;
  EXPECT_EQ(Call(channel, 0x08, buffer, &length, &observer), kTransactNoReply);
  EXPECT_EQ(observer.requests.size(), 3u);
  EXPECT_EQ(observer.replies.size(), 2u);
}

}  // namespace
}  // namespace lumiq::test
