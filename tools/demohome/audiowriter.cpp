#include "audiowriter.h"

#include "binaryappend.h"

#include <cmath>
#include <numbers>
#include <QtEndian>

namespace {

using namespace BinaryAppend;

// ID3v2.3 text frame, UTF-16 with a byte-order mark so any name survives.
QByteArray textFrame(const char id[5], const QString &text)
{
    QByteArray body(1, '\x01');
    body.append("\xFF\xFE", 2);
    for (const QChar c : text)
        le16(body, c.unicode());
    QByteArray frame(id, 4);
    be32(frame, quint32(body.size()));
    frame.append(2, '\0');
    return frame + body;
}

QByteArray id3(const QString &title, const QString &artist, const QString &album, int track)
{
    QByteArray frames = textFrame("TIT2", title) + textFrame("TPE1", artist) +
                        textFrame("TALB", album) + textFrame("TRCK", QString::number(track));
    frames.append(256, '\0'); // padding, as taggers leave room to edit
    QByteArray tag("ID3\x03\x00\x00", 6);
    const quint32 n = quint32(frames.size());
    // The tag size is "synchsafe": seven bits per byte.
    tag.append(char((n >> 21) & 0x7F));
    tag.append(char((n >> 14) & 0x7F));
    tag.append(char((n >> 7) & 0x7F));
    tag.append(char(n & 0x7F));
    return tag + frames;
}

} // namespace

QByteArray AudioWriter::wav(const QList<Tone> &tones, int sampleRate)
{
    QByteArray pcm;
    for (const Tone &t : tones) {
        const int count = int(std::lround(t.seconds * sampleRate));
        const int fade = std::min(count / 4, sampleRate / 50);
        for (int i = 0; i < count; ++i) {
            double v = 0.0;
            if (t.hz > 0.0) {
                const double phase = 2.0 * std::numbers::pi * t.hz * double(i) / double(sampleRate);
                // A little of the octave above makes it sound like an instrument, not a test tone.
                v = t.level * (0.8 * std::sin(phase) + 0.2 * std::sin(2.0 * phase));
                if (fade > 0) {
                    if (i < fade)
                        v *= double(i) / fade;
                    else if (i >= count - fade)
                        v *= double(count - 1 - i) / fade;
                }
            }
            le16(pcm, quint16(qint16(std::lround(v * 32767.0))));
        }
    }
    QByteArray out("RIFF", 4);
    le32(out, quint32(36 + pcm.size()));
    out.append("WAVEfmt ", 8);
    le32(out, 16);
    le16(out, 1); // PCM
    le16(out, 1); // mono
    le32(out, quint32(sampleRate));
    le32(out, quint32(sampleRate * 2));
    le16(out, 2);
    le16(out, 16);
    out.append("data", 4);
    le32(out, quint32(pcm.size()));
    return out + pcm;
}

QByteArray AudioWriter::mp3(const QString &title, const QString &artist, const QString &album,
                            int track, double seconds)
{
    constexpr int kBitrate = 128000;
    constexpr int kRate = 44100;
    constexpr int kSamplesPerFrame = 1152;
    const int frames = int(seconds * kRate / kSamplesPerFrame);
    QByteArray out = id3(title, artist, album, track);
    out.reserve(out.size() + qsizetype(frames) * 420);
    int rest = 0;
    for (int f = 0; f < frames; ++f) {
        // Padding bytes keep the average rate exact, as encoders do.
        rest += (144 * kBitrate) % kRate;
        const bool pad = rest >= kRate;
        if (pad)
            rest -= kRate;
        const int length = 144 * kBitrate / kRate + (pad ? 1 : 0);
        QByteArray frame(length, '\0');
        frame[0] = char(0xFF);
        frame[1] = char(0xFB);                 // MPEG-1, Layer III, no CRC
        frame[2] = char(0x90 | (pad ? 2 : 0)); // 128 kbit/s, 44.1 kHz
        frame[3] = char(0xC4);                 // mono, original
        // Zeroed side information: no main data, so every granule decodes to silence.
        out += frame;
    }
    return out;
}
