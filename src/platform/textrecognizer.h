#pragma once

#include <QStringList>

#include <memory>

class Picture;

namespace tesseract {
class TessBaseAPI;
}

// Reads the lines of text in a picture with Tesseract's LSTM engine and the
// Debian English data. The engine is loaded once and reused; a recognizer
// belongs to the thread that made it and is used only there.
class TextRecognizer final
{
public:
    // Small text is enlarged until its capital letters are this tall before
    // reading: enough for the page layout to find its lines and letters.
    static constexpr int kCapitalHeight = 22;
    static constexpr double kMaxUpscale = 4.0;
    // Upscaling stops at this many pixels, so large photos are read as they are.
    static constexpr qint64 kMaxScaledPixels = 16'000'000;

    TextRecognizer();
    ~TextRecognizer();
    TextRecognizer(const TextRecognizer &) = delete;
    TextRecognizer &operator=(const TextRecognizer &) = delete;

    // False when the engine or its language data could not be loaded.
    bool isReady() const { return m_api != nullptr; }
    // The picture's text lines in reading order: top to bottom, and lines
    // that share a row from left to right. Empty when none.
    QStringList lines(const Picture &picture);

private:
    std::unique_ptr<tesseract::TessBaseAPI> m_api;
};
