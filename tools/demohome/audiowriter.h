#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Sound files that players open and play: PCM wave files of generated tones,
// and MP3 files of silent frames behind a real ID3 tag.
class AudioWriter final
{
public:
    struct Tone
    {
        double hz = 440.0; // 0 is a rest
        double seconds = 0.5;
        double level = 0.4; // 0..1 of full scale
    };

    // 16-bit mono PCM at `sampleRate`; each tone fades in and out so notes do not click.
    static QByteArray wav(const QList<Tone> &tones, int sampleRate = 22050);
    // MPEG-1 Layer III at 128 kbit/s, 44.1 kHz, mono; every frame is silence.
    static QByteArray mp3(const QString &title, const QString &artist, const QString &album,
                          int track, double seconds);
};
