#include "analysis/ocrindex.h"
#include "dnnclassifier.h"
#include "haarclassifier.h"
#include "picture.h"
#include "tempdir.h"
#include "qtprinters.h"
#include "testimages.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <thread>

namespace {

// A three-class model: class 0 grows with the red channel, class 1 with the
// blue one, class 2 is the fixed alternative. Flatten, Gemm with weights
// stored [outputs, inputs] and a softmax, at opset 11: the form OpenCV reads.
constexpr const char *kBuildModel = R"(
import sys
import numpy as np
import onnx
from onnx import helper, numpy_helper, TensorProto
out, h, w = sys.argv[1], 6, 8
plane = h * w
weights = np.zeros((3, 3 * plane), np.float32)
weights[0, 0:plane] = 0.1
weights[1, 2 * plane:3 * plane] = 0.1
bias = np.zeros(3, np.float32)
graph = helper.make_graph(
    [helper.make_node('Flatten', ['input'], ['flat'], axis=1),
     helper.make_node('Gemm', ['flat', 'W', 'B'], ['logits'], transB=1),
     helper.make_node('Softmax', ['logits'], ['prob'], axis=1)],
    'tiny',
    [helper.make_tensor_value_info('input', TensorProto.FLOAT, [1, 3, h, w])],
    [helper.make_tensor_value_info('prob', TensorProto.FLOAT, [1, 3])],
    [numpy_helper.from_array(weights, 'W'), numpy_helper.from_array(bias, 'B')])
model = helper.make_model(graph, opset_imports=[helper.make_opsetid('', 11)])
model.ir_version = 6
onnx.save(model, out)
)";

// Debian's python3-onnx belongs to the system interpreter, whatever else is first on PATH.
constexpr const char *kPython = "/usr/bin/python3";

class TinyModel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model = tree.path("tiny.onnx");
        labels = tree.file("labels.txt", "sports_car\nn02099601 golden retriever, retriever\nbackground\n");
        QProcess python;
        python.start(QString::fromLatin1(kPython), {"-c", kBuildModel, QFile::decodeName(model)});
        if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
            GTEST_SKIP() << "python3-onnx cannot build the test model: " << python.readAllStandardError().toStdString();
    }

    QByteArray picture(const char *name, QColor colour)
    {
        const QByteArray path = tree.path(name);
        TestImages::writeFilled(path, QSize(64, 48), colour);
        return path;
    }

    TempTree tree;
    QByteArray model;
    QByteArray labels;
};

} // namespace

TEST(TextRecognition, ReadsPrintedLinesTopToBottomThenLeftToRight)
{
    // Two columns, the right one half a line higher: the page layout reads
    // them one column after the other, reading order takes turns.
    const QStringList right = {"Alpha meeting notes monday",  "Charlie weather forecast tonight",
                               "Echo traders invoice total",  "Golf shipping address update",
                               "India project status report", "Kilo server backup restore",
                               "Mike calendar friday lunch",  "Oscar archive folder export"};
    const QStringList left = {"Bravo budget review payment",    "Delta hiring plan spring",
                              "Foxtrot backup finished noon",   "Hotel quarterly report draft",
                              "Juliet network client sync",     "Lima terminal editor window",
                              "November receipt order tracking", "Papa delivered balance transfer"};
    QStringList expected;
    for (qsizetype i = 0; i < right.size(); ++i)
        expected << right[i] << left[i];
    struct Case
    {
        const char *name;
        int pixelSize;
        bool dark;
    };
    TempTree tree;
    for (const Case c : {Case{"small", 13, false}, Case{"large-dark", 28, true}}) {
        QList<TestImages::Text> texts;
        for (int i = 0; i < int(right.size()); ++i) {
            texts.append({{560, c.pixelSize * (2 + 2 * i)}, right[i]});
            texts.append({{40, c.pixelSize * (3 + 2 * i)}, left[i]});
        }
        const QByteArray path = tree.path(QByteArray(c.name) + ".png");
        TestImages::writeText(path, QSize(1100, c.pixelSize * 19), texts, c.pixelSize, c.dark);
        const OCRIndex::Look seen = OCRIndex::look(path, true);
        EXPECT_TRUE(seen.readable) << c.name;
        EXPECT_EQ(seen.text, expected.join(u'\n')) << c.name;
        EXPECT_TRUE(OCRIndex::look(path, false).text.isEmpty()) << c.name;
    }
}

TEST(TextRecognition, AFileThatIsNotAnImageGivesNothing)
{
    TempTree tree;
    for (const QByteArray &path : {tree.file("notes.png", "plain text, not a picture"), tree.path("missing.png"),
                                   tree.folder("folder.png")}) {
        const OCRIndex::Look seen = OCRIndex::look(path, true);
        EXPECT_FALSE(seen.readable) << path.constData();
        EXPECT_TRUE(seen.text.isEmpty());
        EXPECT_TRUE(seen.subjects.isEmpty());
    }
}

TEST(HaarSubjects, FindsFacesAndPeopleAndNothingInAnEmptyPicture)
{
    TempTree tree;
    HaarClassifier haar;
    ASSERT_TRUE(haar.isReady());
    const QByteArray blank = tree.path("blank.png");
    TestImages::writeFilled(blank, QSize(640, 480), QColor(120, 120, 120));
    EXPECT_TRUE(haar.classify(*Picture::load(blank)).isEmpty());

    const QByteArray faces = tree.path("faces.png");
    TestImages::writeFaces(faces, 2);
    const QList<ImageClassifier::Observation> found = haar.classify(*Picture::load(faces));
    QStringList labels;
    for (qsizetype i = 0; i < found.size(); ++i) {
        EXPECT_TRUE(HaarClassifier::vocabulary().contains(found[i].identifier));
        EXPECT_GT(found[i].confidence, 0.0f);
        EXPECT_LE(found[i].confidence, 1.0f);
        if (i > 0) {
            EXPECT_GE(found[i - 1].confidence, found[i].confidence);
        }
        labels.append(found[i].identifier);
    }
    labels.sort();
    EXPECT_EQ(labels, (QStringList{"face", "people", "person"}));
    // Both faces are clear enough to be kept as subjects.
    EXPECT_EQ(OCRIndex::subjectLabels(found).size(), 3);
}

TEST_F(TinyModel, MapsTheModelsOutputsToTheLabelsFile)
{
    const std::unique_ptr<DnnClassifier> dnn = DnnClassifier::load(model, labels);
    ASSERT_TRUE(dnn);
    EXPECT_EQ(dnn->inputWidth(), 8);
    EXPECT_EQ(dnn->inputHeight(), 6);
    EXPECT_EQ(dnn->labels(), (QStringList{"sports_car", "golden retriever", "background"}));
    struct Case
    {
        const char *name;
        QColor colour;
        const char *top;
    };
    for (const Case c : {Case{"red.png", Qt::red, "sports_car"}, Case{"blue.png", Qt::blue, "golden retriever"},
                         Case{"green.png", Qt::green, "background"}}) {
        const auto found = dnn->classify(*Picture::load(picture(c.name, c.colour)));
        ASSERT_FALSE(found.isEmpty()) << c.name;
        EXPECT_EQ(found.first().identifier, c.top) << c.name;
        EXPECT_GT(found.first().confidence, 0.9f) << c.name;
        float sum = 0;
        for (const auto &o : found)
            sum += o.confidence;
        EXPECT_NEAR(sum, 1.0f, 0.02f) << c.name;
    }
}

TEST_F(TinyModel, IsUsedWhenTheEnvironmentNamesItAndRefusedWhenItDoesNotLoad)
{
    const QByteArray red = picture("red.png", Qt::red);
    qputenv(ImageClassifier::kModelVariable, model);
    qputenv(ImageClassifier::kLabelsVariable, labels);
    OCRIndex::Look seen;
    // A new thread: each thread picks its classifier on first use.
    std::thread([&] { seen = OCRIndex::look(red, false); }).join();
    qunsetenv(ImageClassifier::kModelVariable);
    qunsetenv(ImageClassifier::kLabelsVariable);
    EXPECT_EQ(seen.subjects, QStringList{"sports car"});

    const QByteArray garbage = tree.file("garbage.onnx", "not a model");
    EXPECT_FALSE(DnnClassifier::load(garbage, labels));
    EXPECT_FALSE(DnnClassifier::load(model, tree.path("no-labels.txt")));
    EXPECT_TRUE(dynamic_cast<HaarClassifier *>(ImageClassifier::make(garbage, labels).get()));
    EXPECT_TRUE(dynamic_cast<DnnClassifier *>(ImageClassifier::make(model, labels).get()));
}

TEST_F(TinyModel, SaysInTheLogWhenAConfiguredModelDoesNotLoad)
{
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { logged << message; });
    const QByteArray garbage = tree.file("garbage.onnx", "not a model");
    const bool fellBack = dynamic_cast<HaarClassifier *>(ImageClassifier::make(garbage, labels).get());
    const bool loaded = dynamic_cast<DnnClassifier *>(ImageClassifier::make(model, labels).get());
    const bool unconfigured = dynamic_cast<HaarClassifier *>(ImageClassifier::make({}, {}).get());
    qInstallMessageHandler(previous);
    EXPECT_TRUE(fellBack && loaded && unconfigured);
    ASSERT_EQ(logged.size(), 1); // nothing for a model that loads or for none at all
    EXPECT_TRUE(logged.first().contains(QString::fromUtf8(garbage))) << logged.first().toStdString();
}
