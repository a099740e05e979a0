// Character-set detection on subtitle files made here: films in the sets
// their subtitles are commonly written in, from a few cues to thousands,
// read through the codec and written back.
#include "text/CharsetDetector.h"

#include "text/CharsetConverter.h"
#include "text/TextCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace sorvane {
namespace {

const char *const kChinese[] = {
    "你好，世界", "我们今天去哪里吃饭？", "这是一个非常重要的消息", "他说他明天不会来了", "快跑！他们来了！",
    "不要担心，一切都会好起来的", "你知道我在说什么吗", "电影里的故事太感人了", "把枪放下，慢慢转过身来",
    "我们必须在天亮之前离开这座城市", "谢谢你救了我的命", "这件事跟你没有关系"};
const char *const kEnglish[] = {
    "Hello, world", "Where are we going to eat today?", "This is a very important message",
    "He said he won't come tomorrow", "Run! They're coming!", "Don't worry, everything will be fine",
    "Do you know what I'm talking about?", "Put the gun down and turn around slowly",
    "We have to leave the city before dawn", "Thank you for saving my life"};
const char *const kTraditional[] = {
    "你好，世界", "我們今天去哪裡吃飯？", "這是一個非常重要的消息", "他說他明天不會來了", "快跑！他們來了！",
    "不要擔心，一切都會好起來的", "把槍放下，慢慢轉過身來", "謝謝你救了我的命"};
const char *const kJapanese[] = {
    "こんにちは、世界", "今日はどこで食べますか？", "これはとても大切なメッセージです", "彼は明日来ないと言った",
    "逃げろ！奴らが来た！", "心配しないで、全部うまくいくよ", "銃を下ろして、ゆっくり振り向け"};
const char *const kKorean[] = {
    "안녕하세요, 세계", "오늘 어디서 먹을까요?", "이것은 매우 중요한 메시지입니다", "그는 내일 오지 않는다고 했다",
    "도망쳐! 그들이 온다!", "걱정하지 마, 다 잘 될 거야", "총을 내려놓고 천천히 돌아서"};
const char *const kWestern[] = {
    "Où est la bibliothèque ? Señor, ¿qué pasa?", "Müller sagt: Grüße aus Köln.", "Ça va très bien, merci.",
    "El niño comió piña, ¡qué rico!", "Straße über die Brücke, schön.", "Je suis désolé, c'est fermé.",
    "Não, obrigado. Até amanhã!", "Hör auf! Lass das, Jürgen."};
const char *const kCyrillic[] = {
    "Привет, мир", "Куда мы идём сегодня?", "Это очень важное сообщение", "Он сказал, что не придёт завтра",
    "Беги! Они идут!", "Не волнуйся, всё будет хорошо", "Опусти пистолет и медленно повернись"};

template <size_t N>
QString pick(std::mt19937 &random, const char *const (&lines)[N])
{
    return QString::fromUtf8(lines[random() % N]);
}

QString timeOf(int ms)
{
    return QStringLiteral("%1:%2:%3,%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

// A film's SRT: `cues` cues of one or two lines from the lists, CR LF.
template <size_t N, size_t M = 1>
QString film(int cues, unsigned seed, const char *const (&first)[N], const char *const (*second)[M] = nullptr)
{
    std::mt19937 random(seed);
    QString text;
    int at = 1000 + int(random() % 5000);
    for (int i = 1; i <= cues; ++i) {
        const int length = 800 + int(random() % 3000);
        text += QString::number(i) + QStringLiteral("\r\n") + timeOf(at) + QStringLiteral(" --> ") +
                timeOf(at + length) + QStringLiteral("\r\n") + pick(random, first) + QStringLiteral("\r\n");
        if (second)
            text += pick(random, *second) + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
        at += length + 200 + int(random() % 4000);
    }
    return text;
}

QByteArray encoded(const QString &text, const char *charset)
{
    Result<QByteArray> bytes = CharsetConverter::encode(text, charset);
    EXPECT_TRUE(bytes.ok());
    return bytes ? *bytes : QByteArray();
}

struct CorpusCase {
    std::string name;
    QString text;
    const char *writtenIn; // iconv's name for the bytes
    QString detected;      // what "CharSet" must say
};

std::vector<CorpusCase> corpus()
{
    std::vector<CorpusCase> cases;
    const int sizes[] = {3, 30, 300, 3000};
    for (int cues : sizes) {
        const std::string n = std::to_string(cues);
        cases.push_back({"Big5_" + n, film(cues, 11, kTraditional), "BIG5", QStringLiteral("BIG5")});
        cases.push_back({"ShiftJis_" + n, film(cues, 12, kJapanese), "SHIFT_JIS", QStringLiteral("SHIFT_JIS")});
        cases.push_back({"EucKr_" + n, film(cues, 13, kKorean), "EUC-KR", QStringLiteral("CP949")});
        cases.push_back({"Windows1252_" + n, film(cues, 14, kWestern), "WINDOWS-1252", QStringLiteral("WINDOWS-1252")});
        cases.push_back({"Windows1251_" + n, film(cues, 15, kCyrillic), "WINDOWS-1251", QStringLiteral("WINDOWS-1251")});
        cases.push_back({"Utf16LeWithoutMark_" + n, film(cues, 16, kChinese, &kEnglish), "UTF-16LE",
                         QStringLiteral("UTF-16LE")});
        cases.push_back({"Utf16BeWithoutMark_" + n, film(cues, 17, kChinese, &kEnglish), "UTF-16BE",
                         QStringLiteral("UTF-16BE")});
    }
    // Chinese GBK files of every size stay "GB2312", as they always were.
    const int gbkSizes[] = {1, 2, 3, 5, 8, 13, 20, 40, 80, 150, 300, 600, 1000, 1500, 2000, 3000};
    unsigned seed = 100;
    for (int cues : gbkSizes) {
        const std::string n = std::to_string(cues);
        cases.push_back({"GbkBilingual_" + n, film(cues, ++seed, kChinese, &kEnglish), "GB18030", QStringLiteral("GB2312")});
        cases.push_back({"GbkChinese_" + n, film(cues, ++seed, kChinese), "GB18030", QStringLiteral("GB2312")});
    }
    return cases;
}

class CharsetCorpusTest : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CharsetCorpusTest, IsReadInItsSetAndWrittenBackByteForByte)
{
    const CorpusCase &c = GetParam();
    const QByteArray bytes = encoded(c.text, c.writtenIn);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("film.srt"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList boxes;
    TextCodec codec([&boxes](const QString &d) { boxes << d; });

    const TextCodec::TextRead read = codec.readText(path, QString());
    EXPECT_EQ(read.text, c.text);
    const QString charset = read.charSet;
    EXPECT_EQ(charset, c.detected);

    const QString copy = dir.filePath(QStringLiteral("copy.srt"));
    codec.PutStrText(copy, c.text, charset);
    QFile f(copy);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == bytes);
    EXPECT_EQ(boxes, QStringList());
}

INSTANTIATE_TEST_SUITE_P(Films, CharsetCorpusTest, ::testing::ValuesIn(corpus()),
                         [](const ::testing::TestParamInfo<CorpusCase> &info) { return info.param.name; });

// Bytes that are no text, or text of several sets: a name is chosen and
// decoding goes on.
struct OddCase {
    const char *name;
    QByteArray bytes;
};

QByteArray randomBytes(qsizetype size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(random());
    return bytes;
}

class CharsetOddInputTest : public ::testing::TestWithParam<OddCase> {};

TEST_P(CharsetOddInputTest, ANameIsChosenAndTheTextDecodes)
{
    const QByteArray &bytes = GetParam().bytes;
    const QString name = CharsetDetector::detect(bytes);
    EXPECT_FALSE(name.isEmpty());
    TextCodec codec([](const QString &) {});
    Result<QString> text = codec.decode(bytes, name);
    ASSERT_TRUE(text.ok()) << name.toStdString();
    EXPECT_EQ(text->isEmpty(), bytes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, CharsetOddInputTest,
    ::testing::Values(OddCase{"Empty", QByteArray()}, OddCase{"OneHighByte", QByteArray("\xB0")},
                      OddCase{"OneZeroByte", QByteArray(1, '\0')}, OddCase{"Random", randomBytes(100000, 1)},
                      OddCase{"RandomEvenZeros", QByteArray(4096, '\0') + randomBytes(16, 2)},
                      OddCase{"GbkThenBig5", encoded(film(200, 3, kChinese), "GB18030") +
                                                 encoded(film(200, 4, kTraditional), "BIG5")}),
    [](const ::testing::TestParamInfo<OddCase> &info) { return std::string(info.param.name); });

TEST(CharsetDetector, LooksOnlyAtTheStartOfABigFile)
{
    // Big5 text, then far more random bytes than the sample holds: the
    // answer comes from the text.
    QByteArray bytes = encoded(film(6000, 5, kTraditional), "BIG5");
    ASSERT_GT(bytes.size(), CharsetDetector::kSampleSize);
    bytes += randomBytes(8 * CharsetDetector::kSampleSize, 6);
    EXPECT_EQ(CharsetDetector::detect(bytes), QStringLiteral("BIG5"));
}

} // namespace
} // namespace sorvane
