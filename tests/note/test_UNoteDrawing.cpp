#include "UNoteDrawing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPoint>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Fonts need a GUI application; it is made only when tests run, not when they are listed.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        App_ = std::make_unique<QGuiApplication>(Argc_, Argv_);
    }
    void TearDown() override { App_.reset(); }

private:
    int Argc_ = 1;
    char Name_[18] = "test_UNoteDrawing";
    char* Argv_[2] = {Name_, nullptr};
    std::unique_ptr<QGuiApplication> App_;
};
[[maybe_unused]] ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Never drawn by any of the functions under test, so it marks untouched pixels.
constexpr QRgb kSentinel = qRgb(255, 0, 255);

// Note colour (200, 100, 30) and the colours it must give on screen.
const TTitleColors kColors = TitleColorsFor(PackColor(200, 100, 30));
const std::map<char, QRgb> kLegend = {
    {'.', kSentinel},        {'K', qRgb(0, 0, 0)},     {'T', qRgb(150, 50, 0)},
    {'S', qRgb(110, 10, 0)}, {'H', qRgb(190, 90, 40)}, {'M', qRgb(90, 0, 0)},
    {'P', qRgb(10, 20, 30)}, {'B', qRgb(40, 50, 60)},
};
const TColor kPen = PackColor(10, 20, 30);
const TColor kBrush = PackColor(40, 50, 60);

template <class Draw>
QImage Render(int width, int height, Draw draw) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kSentinel);
    QPainter painter(&image);
    draw(painter);
    painter.end();
    return image;
}

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000u;
}

std::string Describe(QRgb rgb) {
    for (const auto& [key, value] : kLegend)
        if (value == rgb)
            return std::string(1, key);
    std::ostringstream text;
    text << "rgb(" << qRed(rgb) << "," << qGreen(rgb) << "," << qBlue(rgb) << ")";
    return text.str();
}

using Art = std::vector<std::string>;

::testing::AssertionResult Matches(const QImage& image, const Art& art) {
    if (static_cast<int>(art.size()) != image.height())
        return ::testing::AssertionFailure() << "art has " << art.size() << " rows";
    std::ostringstream errors;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        if (static_cast<int>(art[y].size()) != image.width())
            return ::testing::AssertionFailure() << "art row " << y << " has the wrong width";
        for (int x = 0; x < image.width(); ++x) {
            const QRgb expected = kLegend.at(art[y][x]);
            const QRgb actual = At(image, x, y);
            if (actual != expected && ++count <= 12)
                errors << " (" << x << "," << y << ") " << art[y][x] << " got " << Describe(actual)
                       << ";";
        }
    }
    if (count == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << count << " pixels differ:" << errors.str();
}

// A horizontal run of pixels that a mark paints over the plain drawing.
struct TRun {
    int X, Y, Length;
    char Color;
};

Art Overlay(Art art, const std::vector<TRun>& runs) {
    for (const TRun& run : runs)
        for (int i = 0; i < run.Length; ++i)
            art[run.Y][run.X + i] = run.Color;
    return art;
}

std::set<std::pair<int, int>> TouchedPixels(const QImage& image) {
    std::set<std::pair<int, int>> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (At(image, x, y) != kSentinel)
                pixels.insert({x, y});
    return pixels;
}

} // namespace

TEST(TitleColorsFor, DerivesTitleShadowAndHighlightWithClamping) {
    const struct {
        const char* name;
        TColor note;
        TTitleColors colors;
    } rows[] = {
        {"orange",
         PackColor(200, 100, 30),
         {PackColor(150, 50, 0), PackColor(110, 10, 0), PackColor(190, 90, 40)}},
        {"default note colour",
         DefaultNoteColor,
         {PackColor(147, 183, 91), PackColor(107, 143, 51), PackColor(187, 223, 131)}},
        {"white",
         PackColor(255, 255, 255),
         {PackColor(205, 205, 205), PackColor(165, 165, 165), PackColor(245, 245, 245)}},
        {"black",
         PackColor(0, 0, 0),
         {PackColor(0, 0, 0), PackColor(0, 0, 0), PackColor(40, 40, 40)}},
        {"highlight of a light title clamps",
         PackColor(250, 60, 45),
         {PackColor(200, 10, 0), PackColor(160, 0, 0), PackColor(240, 50, 40)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TitleColorsFor(row.note), row.colors);
    }
}

TEST(TitleFont, KeepsTheWindowFontNameAndElevenPixels) {
    const QFont font = TitleFont();
    EXPECT_EQ(font.family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(font.pixelSize(), 11);
    const QFontMetrics metrics(font);
    EXPECT_GT(metrics.horizontalAdvance(QStringLiteral("Vorn [12]")), 0) << "a face stands in";
    EXPECT_LE(metrics.height(), 16) << "the text must fit the 16-pixel bar";
}

TEST(DrawRectangle, OutlinesTheFirstAndLastColumnsAndRowsAndFillsTheInside) {
    const struct {
        const char* name;
        int x1, y1, x2, y2;
        Art art;
    } rows[] = {
        {"5 x 4",
         2,
         1,
         7,
         5,
         {"........", "..PPPPP.", "..PBBBP.", "..PBBBP.", "..PPPPP.", "........"}},
        {"2 x 2 has no inside", 1, 1, 3, 3, {"....", ".PP.", ".PP.", "...."}},
        {"1 wide is one column", 1, 0, 2, 4, {".P.", ".P.", ".P.", ".P.", "..."}},
        {"partly outside the canvas", -2, -1, 3, 3, {"BBP.", "BBP.", "PPP.", "...."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int width = static_cast<int>(row.art[0].size());
        const int height = static_cast<int>(row.art.size());
        const QImage image = Render(width, height, [&](QPainter& painter) {
            DrawRectangle(painter, row.x1, row.y1, row.x2, row.y2, kPen, kBrush);
        });
        EXPECT_TRUE(Matches(image, row.art));
    }
}

TEST(DrawLines, EachSegmentLeavesOutItsEndPoint) {
    using Pixels = std::set<std::pair<int, int>>;
    const struct {
        const char* name;
        std::initializer_list<QPoint> points;
        Pixels pixels;
    } rows[] = {
        {"right", {{1, 1}, {5, 1}}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {"left", {{5, 1}, {1, 1}}, {{5, 1}, {4, 1}, {3, 1}, {2, 1}}},
        {"down", {{2, 0}, {2, 3}}, {{2, 0}, {2, 1}, {2, 2}}},
        {"up", {{2, 3}, {2, 0}}, {{2, 3}, {2, 2}, {2, 1}}},
        {"down right", {{0, 0}, {3, 3}}, {{0, 0}, {1, 1}, {2, 2}}},
        {"up right", {{2, 10}, {6, 6}}, {{2, 10}, {3, 9}, {4, 8}, {5, 7}}},
        {"up left", {{6, 6}, {3, 3}}, {{6, 6}, {5, 5}, {4, 4}}},
        {"down left", {{6, 2}, {3, 5}}, {{6, 2}, {5, 3}, {4, 4}}},
        {"a -> b -> c draws b but not c",
         {{1, 1}, {4, 1}, {4, 4}},
         {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}},
        {"closed outline",
         {{1, 1}, {3, 1}, {3, 3}, {1, 3}, {1, 1}},
         {{1, 1}, {2, 1}, {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}}},
        {"one point draws nothing", {{2, 2}}, {}},
        {"zero length draws nothing", {{2, 2}, {2, 2}}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QImage image =
            Render(12, 12, [&](QPainter& painter) { DrawLines(painter, row.points, kPen); });
        EXPECT_EQ(TouchedPixels(image), row.pixels);
        for (const auto& [x, y] : row.pixels)
            EXPECT_EQ(At(image, x, y), kLegend.at('P')) << x << "," << y;
    }
}

TEST(DrawLines, OtherSlopesStepOnePixelPerMajorCoordinateAlongTheLine) {
    const std::pair<QPoint, QPoint> segments[] = {
        {{0, 0}, {7, 3}}, {{7, 3}, {0, 0}},  {{1, 9}, {4, 0}},
        {{9, 2}, {0, 6}}, {{0, 5}, {10, 4}}, {{3, 0}, {5, 11}},
    };
    for (const auto& [a, b] : segments) {
        SCOPED_TRACE(::testing::Message()
                     << a.x() << "," << a.y() << " -> " << b.x() << "," << b.y());
        const QImage image = Render(12, 12, [&](QPainter& painter) {
            DrawLines(painter, {a, b}, kPen);
        });
        const auto pixels = TouchedPixels(image);
        const bool xMajor = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
        const int major0 = xMajor ? a.x() : a.y();
        const int major1 = xMajor ? b.x() : b.y();
        const double slope = xMajor ? static_cast<double>(b.y() - a.y()) / (b.x() - a.x())
                                    : static_cast<double>(b.x() - a.x()) / (b.y() - a.y());
        EXPECT_EQ(static_cast<int>(pixels.size()), std::abs(major1 - major0));
        EXPECT_TRUE(pixels.count({a.x(), a.y()})) << "start drawn";
        EXPECT_FALSE(pixels.count({b.x(), b.y()})) << "end left out";
        std::set<int> majors;
        for (const auto& [x, y] : pixels) {
            const int major = xMajor ? x : y;
            const int minor = xMajor ? y : x;
            const double ideal = (xMajor ? a.y() : a.x()) + (major - major0) * slope;
            EXPECT_LE(std::abs(minor - ideal), 0.5) << x << "," << y << " strays off the line";
            EXPECT_TRUE(majors.insert(major).second)
                << "two pixels in one step at " << x << "," << y;
            EXPECT_TRUE(major0 < major1 ? major >= major0 && major < major1
                                        : major <= major0 && major > major1);
        }
    }
}

namespace {

// A 40 x 16 bar on a 41 x 17 canvas: the extra column and row must stay untouched.
const Art kPlainBar = {
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.", //
    "KHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHK.", //
    "KHTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTSSSSSSSSHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTSTTTTTTTHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTSTTTTTTTHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTSTTTTTTTHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTSTTTTTTTHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTSTTTTTTTHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTSTTTTTTTHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTSTTTTTTTHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTHHHHHHHHHTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTSK.", //
    "KSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSK.", //
    ".........................................", //
};

const std::vector<TRun> kReadOnlyBars = {
    {6, 6, 4, 'H'}, {6, 9, 4, 'H'}, {7, 7, 4, 'S'}, {7, 10, 4, 'S'}};
// At the right end of a 40-wide bar.
const std::vector<TRun> kOnTopMarks = {{26, 3, 2, 'H'},  {26, 4, 1, 'H'}, {35, 11, 1, 'H'},
                                       {34, 12, 2, 'H'}, {27, 4, 2, 'S'}, {27, 5, 1, 'S'},
                                       {36, 12, 1, 'S'}, {35, 13, 2, 'S'}};
const std::vector<TRun> kModifiedMark = {{5, 5, 7, 'M'}, {5, 6, 7, 'M'}, {5, 7, 7, 'M'},
                                         {5, 8, 7, 'M'}, {5, 9, 7, 'M'}, {5, 10, 7, 'M'},
                                         {5, 11, 7, 'M'}};

QImage Bar(int canvasWidth, int width, const TTitleState& state) {
    return Render(canvasWidth, 17,
                  [&](QPainter& painter) { DrawNoteTitle(painter, width, 16, state); });
}

TTitleState State(bool readOnly, bool onTop, bool modified, QString title = QString()) {
    TTitleState state;
    state.Colors = kColors;
    state.ReadOnly = readOnly;
    state.OnTop = onTop;
    state.Modified = modified;
    state.Title = std::move(title);
    return state;
}

} // namespace

TEST(DrawNoteTitle, FrameBoxAndMarksForEachFlag) {
    const struct {
        const char* name;
        bool readOnly, onTop, modified;
    } rows[] = {
        {"plain", false, false, false},
        {"read-only", true, false, false},
        {"on top", false, true, false},
        {"modified", false, false, true},
        {"modified covers the read-only bars", true, false, true},
        {"everything", true, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Art expected = kPlainBar;
        if (row.readOnly)
            expected = Overlay(expected, kReadOnlyBars);
        if (row.onTop)
            expected = Overlay(expected, kOnTopMarks);
        if (row.modified)
            expected = Overlay(expected, kModifiedMark);
        EXPECT_TRUE(Matches(Bar(41, 40, State(row.readOnly, row.onTop, row.modified)), expected));
    }
}

TEST(DrawNoteTitle, OnTopMarksFollowTheRightEdge) {
    const int width = 128;
    const QImage plain = Bar(width, width, State(false, false, false));
    const QImage marked = Bar(width, width, State(false, true, false));
    std::set<std::pair<int, int>> changed;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < width; ++x)
            if (At(plain, x, y) != At(marked, x, y))
                changed.insert({x - width, y});
    std::set<std::pair<int, int>> expected;
    for (const TRun& run : kOnTopMarks)
        for (int i = 0; i < run.Length; ++i)
            expected.insert({run.X + i - 40, run.Y});
    EXPECT_EQ(changed, expected);
}

namespace {

// What the bar must look like: the bar without text, with the title laid out by Qt from a text
// cell whose top-left corner is (x, 2), in black, clipped to the bar.
QImage ExpectedBar(int canvasWidth, int width, const QString& title, int x) {
    QImage image = Bar(canvasWidth, width, State(false, false, false));
    QPainter painter(&image);
    painter.setClipRect(0, 0, width, 16);
    painter.setFont(TitleFont());
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(QRect(x, 2, 2000, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     title);
    painter.end();
    return image;
}

// The columns and rows where the text changed the bar.
QRect InkBounds(const QImage& withText, const QImage& without) {
    QRect bounds;
    for (int y = 0; y < withText.height(); ++y)
        for (int x = 0; x < withText.width(); ++x)
            if (At(withText, x, y) != At(without, x, y))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

TEST(DrawNoteTitle, TitleTextPlacement) {
    QImage probe(1, 1, QImage::Format_RGB32);
    const QFontMetrics metrics(TitleFont(), &probe);
    const QString shortTitle = QStringLiteral("Vorn [12]");
    const QString systemTitle = QStringLiteral("System Vorn [12]");
    const QString longTitle = QStringLiteral("System Vorn [12]: a title far wider than its bar");
    const int systemWidth = metrics.horizontalAdvance(systemTitle);
    int longBar = 128;
    if ((longBar - metrics.horizontalAdvance(longTitle) - 12) % 2 == 0)
        ++longBar; // an odd negative remainder shows truncation toward zero

    const struct {
        const char* name;
        QString title;
        int width;
    } rows[] = {
        {"fits", shortTitle, 128},
        {"fits, one pixel wider bar", shortTitle, 129},
        {"three pixels too wide starts at 7", systemTitle, systemWidth + 9},
        {"far too wide runs over the box and is clipped", longTitle, longBar},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int textWidth = metrics.horizontalAdvance(row.title);
        const int x = (row.width - textWidth - 12) / 2 + 8;
        const int canvas = row.width + 10;
        const QImage actual = Bar(canvas, row.width, State(false, false, false, row.title));
        const QImage plain = Bar(canvas, row.width, State(false, false, false));

        EXPECT_TRUE(actual == ExpectedBar(canvas, row.width, row.title, x)) << "x " << x;

        const QRect ink = InkBounds(actual, plain);
        ASSERT_FALSE(ink.isEmpty()) << "no text drawn";
        EXPECT_GE(ink.top(), 2);
        EXPECT_LE(ink.bottom(), 2 + metrics.height() - 1);
        EXPECT_LE(ink.right(), row.width - 1) << "clipped at the right edge";
        if (textWidth <= row.width - 12) {
            EXPECT_GE(ink.left(), x);
            EXPECT_LE(ink.left(), x + 2);
            EXPECT_LE(ink.right(), x + textWidth);
        } else {
            EXPECT_LT(ink.left(), 8) << "a wide text starts over the box";
        }
    }
}

TEST(DrawNoteTitle, TitleTextIsBlackOnATransparentBackground) {
    // Title colour (200, 150, 100): blending it with black, however much, keeps the channels in
    // the ratio 4 : 3 : 2; text of any other colour, or an opaque background, breaks it.
    TTitleState state = State(false, false, false, QStringLiteral("Vorn [12]"));
    state.Colors = TitleColorsFor(PackColor(250, 200, 150));
    const QImage actual = Bar(128, 128, state);
    state.Title.clear();
    const QImage plain = Bar(128, 128, state);
    const QRgb title = qRgb(200, 150, 100);
    int darkest = 255;
    int inked = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 128; ++x) {
            const QRgb after = At(actual, x, y);
            if (At(plain, x, y) != title || after == title)
                continue;
            ++inked;
            darkest = std::min(darkest, qRed(after));
            EXPECT_NEAR(qGreen(after), qRed(after) * 3 / 4.0, 2) << x << "," << y;
            EXPECT_NEAR(qBlue(after), qRed(after) / 2.0, 2) << x << "," << y;
        }
    EXPECT_GT(inked, 20);
    EXPECT_LE(darkest, 40) << "the strokes reach (nearly) full black";
}

namespace {

// The rolled-up square on an 18 x 18 canvas.
const Art kPlainSquare = {
    "KKKKKKKKKKKKKKKKK.", //
    "KHHHHHHHHHHHHHHHK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHTTTTTTTTTTTTTSK.", //
    "KHSSSSSSSSSSSSSSK.", //
    "KKKKKKKKKKKKKKKKK.", //
    "..................", //
};

const std::vector<TRun> kSquareOnTopMarks = {{3, 3, 2, 'H'},   {3, 4, 1, 'H'},  {12, 11, 1, 'H'},
                                             {11, 12, 2, 'H'}, {4, 4, 2, 'S'},  {4, 5, 1, 'S'},
                                             {13, 12, 1, 'S'}, {12, 13, 2, 'S'}};

} // namespace

TEST(DrawMinimizedTitle, MarksOnlyWhereShown) {
    const struct {
        bool showReadOnly, showOnTop;
    } rows[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "read-only " << row.showReadOnly << ", on top " << row.showOnTop);
        Art expected = kPlainSquare;
        if (row.showOnTop)
            expected = Overlay(expected, kSquareOnTopMarks);
        if (row.showReadOnly)
            expected = Overlay(expected, kReadOnlyBars);
        const QImage image = Render(18, 18, [&](QPainter& painter) {
            DrawMinimizedTitle(painter, kColors, row.showReadOnly, row.showOnTop);
        });
        EXPECT_TRUE(Matches(image, expected));
    }
}

TEST(DrawSizeGrip, RaisedDiagonalRidges) {
    const Art expected = {
        "KKKKKKKKKKKK.", //
        "KTTTTTTTTTTK.", //
        "KTTTTTTTTTHK.", //
        "KTTTTTTTTHSK.", //
        "KTTTTTTTHSTK.", //
        "KTTTTTTHSTHK.", //
        "KTTTTTHSTHSK.", //
        "KTTTTHSTHSTK.", //
        "KTTTHSTHSTHK.", //
        "KTTHSTHSTHSK.", //
        "KTHSTHSTHSTK.", //
        "KKKKKKKKKKKK.", //
        ".............", //
    };
    const QImage image = Render(13, 13, [&](QPainter& painter) { DrawSizeGrip(painter, kColors); });
    EXPECT_TRUE(Matches(image, expected));
}

TEST(NoteDrawing, DrawsAtThePaintersOrigin) {
    // A control painted inside a larger surface: its (0, 0) is wherever the painter puts it.
    const QImage image = Render(20, 20, [&](QPainter& painter) {
        painter.translate(3, 2);
        DrawSizeGrip(painter, kColors);
    });
    std::set<std::pair<int, int>> expected;
    for (int y = 2; y < 14; ++y)
        for (int x = 3; x < 15; ++x)
            expected.insert({x, y});
    EXPECT_EQ(TouchedPixels(image), expected);
    EXPECT_EQ(At(image, 3, 2), kLegend.at('K'));
    EXPECT_EQ(At(image, 5, 12), kLegend.at('H'));
}
