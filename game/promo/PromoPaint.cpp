#include "game/promo/PromoPaint.h"

#include "classlib/lang/System.h"
#include "game/framework/Anchors.h"
#include "game/framework/DrawingTap.h"
#include "game/promo/PromoData.h"
#include "game/promo/PromoLoading.h"
#include "host/Log.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace game::promo {

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;
using Image = platform::javax_microedition_lcdui_Image;

constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kBarRed = 0xFF0000;
constexpr std::int32_t kInk = 0x00B4EF;
constexpr std::int32_t kLinkButtonColour = 0xCF0900;
constexpr std::int32_t kLinkButtonExtraColour = 0xFF7F00;
constexpr std::int32_t kLinkButtonPressed = 0x5800F2;
constexpr std::int32_t kLinkButtonFrame = 0xDE9C00;
constexpr std::int32_t kSelectionFrame = 0xFC7704;
constexpr std::int32_t kPortalTop = 0xFAD12D;
constexpr std::int32_t kPortalBottom = 0xF14615;

Image* imageAt(rt::ObjectArray* images, std::int32_t i) {
    return static_cast<Image*>(elementAt(images, i));
}

Image* screenImage(std::int32_t i) {
    return imageAt(promoScreenStatics().s_screenImages, i);
}

std::int32_t widthOf(Image* image) {
    return image ? image->getWidth() : 0;
}

std::int32_t heightOf(Image* image) {
    return image ? image->getHeight() : 0;
}

// The rectangle a w x h box placed at (x, y) by `anchor` covers.
std::array<std::int32_t, 4> anchoredBox(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                                        std::int32_t anchor) {
    if (anchor & Graphics::RIGHT)
        x -= w;
    else if (anchor & Graphics::HCENTER)
        x -= w / 2;
    if (anchor & Graphics::BOTTOM)
        y -= h;
    else if (anchor & Graphics::VCENTER)
        y -= h / 2;
    return {x, y, w, h};
}

// The screen's pictures and controls (page arrows, back key, list rows) are
// images: each is reported to the drawing tap with the rectangle it covers.
void drawImage(Graphics* g, Image* image, std::int32_t x, std::int32_t y, std::int32_t anchor) {
    if (!image)
        return;
    const ReportedDraw reported(DrawCall::DrawImage, g, image, {x, y, anchor}, {},
                                anchoredBox(x, y, image->getWidth(), image->getHeight(), anchor));
    g->drawImage(image, x, y, anchor);
}

void fillRect(Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const ReportedDraw reported(DrawCall::FillRect, g, nullptr, {x, y, w, h}, {}, {x, y, w, h});
    g->fillRect(x, y, w, h);
}

void drawRect(Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const ReportedDraw reported(DrawCall::DrawRect, g, nullptr, {x, y, w, h}, {}, {x, y, w + 1, h + 1});
    g->drawRect(x, y, w, h);
}

std::int32_t pageKind(std::int32_t page) {
    rt::IntArray* kinds = promoStatics().s_pageKinds;
    return kinds && page >= 0 && page < kinds->length() ? rt::IntArray::get(kinds, page) : 0;
}

std::int32_t ticks() {
    return static_cast<std::int32_t>(lib::java_lang_System::currentTimeMillis());
}

// The first row picture of the list shown.
Image* firstRowImage() {
    PromoScreenStatics& screen = promoScreenStatics();
    auto* rows = static_cast<rt::ObjectArray*>(elementAt(screen.s_listRowImages, screen.s_listIndex));
    return imageAt(rows, 0);
}

void drawTextById(std::int32_t index, Graphics* g, std::int32_t x, std::int32_t y, std::int32_t anchor) {
    drawText(getText(index), g, x, y, anchor);
}

void drawArrow(Graphics* g, std::int32_t x, std::int32_t y, std::int32_t size, std::int32_t colour,
               std::int32_t direction) {
    std::int32_t h = size % 2 == 0 ? (size - 1) / 2 : size / 2;
    std::int32_t d = direction == 0 ? -1 : 1;
    const std::int32_t tip = d < 0 ? y : y - h;
    const ReportedDraw reported(DrawCall::FillTriangle, g, nullptr,
                                {x, y, x - h, y - h * d, x + h, y - h * d}, {},
                                {x - h, tip, 2 * h + 1, h + 1});
    g->setColor(kInk);
    g->fillTriangle(x, y, x - h, y - h * d, x + h, y - h * d);
    g->setColor(colour);
    g->fillTriangle(x, y - d, x - h + 2, y - (h - 1) * d, x + h - 2, y - (h - 1) * d);
}

void fillGradient(Graphics* g, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  std::int32_t top, std::int32_t bottom) {
    const PromoStatics& promo = promoStatics();
    for (std::int32_t row = 0; row <= height && y + row < promo.s_screenHeight; ++row) {
        auto channel = [&](std::int32_t shift) {
            std::int32_t a = (top >> shift) & 0xFF;
            std::int32_t b = (bottom >> shift) & 0xFF;
            return height > 0 ? a + (b - a) * row / height : a;
        };
        g->setColor((channel(16) << 16) | (channel(8) << 8) | channel(0));
        g->drawLine(x, y + row, std::min(x + width, promo.s_screenWidth - 1), y + row);
    }
}

void paintSoftKeys(Graphics* g) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    if (promo.s_useCommands)
        return;
    screen.s_softKeysShown |= 2;
    screen.s_softKeyIconsShown |= 2;
    Image* frame = screenImage(screen.s_pressedAction == kPromoBack ? 13 : 12);
    Image* icon = screenImage(8);
    std::int32_t x = promo.s_screenWidth - screen.s_softKeyMarginRight;
    std::int32_t y = promo.s_screenHeight - 2;
    drawImage(g, frame, x, y, Graphics::BOTTOM | Graphics::RIGHT);
    drawImage(g, icon, x - (widthOf(frame) - widthOf(icon)) / 2, y - (heightOf(frame) - heightOf(icon)) / 2,
              Graphics::BOTTOM | Graphics::RIGHT);
}

// Three bars over the property page's picture, stacked downward above its
// bottom line. Each is drawn only after the one above it and while the
// picture is wider than its threshold; as the thresholds fall, a picture
// wider than the first one's gets all three and a narrower one none.
void paintPropertyBars(Graphics* g, std::int32_t pictureWidth, std::int32_t bottom) {
    struct Bar {
        std::int32_t colour, x, width, height, threshold;
    };
    static constexpr Bar kBars[] = {
        {0xCCCCCC, 20, 54, 3, 220},
        {0xD7D7D7, 14, 37, 2, 140},
        {0xDCB9B8, 11, 26, 1, 100},
    };
    constexpr std::int32_t kBarsTop = 16; // above the bottom line
    constexpr std::int32_t kBarsGap = 2;
    std::int32_t y = bottom - kBarsTop;
    for (const Bar& bar : kBars) {
        if (pictureWidth <= bar.threshold)
            return;
        g->setColor(bar.colour);
        fillRect(g, promoStatics().s_centreX + bar.x, y, bar.width, bar.height);
        y += bar.height + kBarsGap;
    }
}

void paintList(Graphics* g) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    std::int32_t width = promo.s_screenWidth;
    std::int32_t height = promo.s_screenHeight;
    std::int32_t y = promo.s_height5Percent;
    if (height > 128) {
        Image* picture = imageAt(screen.s_pageImages, screen.s_page);
        drawImage(g, picture, promo.s_centreX, y, kAnchorTopCentre);
        y += heightOf(picture);
    }
    screen.s_fontColour = 2;
    drawTextById(screen.s_pageTextIndex, g, promo.s_centreX, y, kAnchorTopCentre);
    y += screen.s_textHeight;
    std::int32_t rowHeight = std::max({2 * screen.s_fontHeight, heightOf(firstRowImage()), 1});
    std::int32_t arrow = height * 7 / 100;
    std::int32_t roomHalf = (height / 2 - y) * 2;
    std::int32_t roomAll = height - heightOf(screenImage(12)) - 2 - y;
    std::int32_t rows = screen.s_listRowCount;
    std::int32_t offset = 0;
    if (rows <= roomHalf / rowHeight) {
        screen.s_listVisibleRows = rows;
        offset = (roomHalf - rows * rowHeight) / 2;
    } else if (rows <= roomAll / rowHeight) {
        screen.s_listVisibleRows = rows;
        offset = (roomAll - rows * rowHeight) / 2;
    } else {
        screen.s_listVisibleRows = std::max((roomAll - 2 * arrow) / rowHeight, 1);
        offset = (roomAll - screen.s_listVisibleRows * rowHeight) / 2;
    }
    std::int32_t y0 = y + offset;
    std::int32_t shown = std::min(screen.s_listVisibleRows, rows - screen.s_listTop);
    if (screen.s_listVisibleRows < rows) {
        std::int32_t upColour = screen.s_pressedAction == kPromoUp ? kInk : kWhite;
        if (screen.s_listTop > 0)
            drawArrow(g, promo.s_centreX, y0 - arrow, arrow, upColour, 0);
        screen.s_listUpArrowY = y0 - arrow;
        if (screen.s_listTop + screen.s_listVisibleRows < rows)
            drawArrow(g, promo.s_centreX, y0 + shown * rowHeight + arrow, arrow,
                      screen.s_pressedAction == kPromoDown ? kInk : upColour, 1);
        screen.s_listDownArrowY = y0 + shown * rowHeight;
    }
    std::int32_t side = widthOf(screenImage(5));
    screen.s_listBoxWidth = width - 3 * side - (width > height ? side / 2 : 0);
    screen.s_listBoxX = width / 2 - screen.s_listBoxWidth / 2;
    std::int32_t margin = width / 100;
    auto* dataRows = static_cast<rt::IntArray*>(elementAt(promo.s_listTexts, screen.s_listIndex));
    auto* textIndexes = static_cast<rt::IntArray*>(elementAt(promo.s_listImages, screen.s_listIndex));
    auto* rowImages = static_cast<rt::ObjectArray*>(elementAt(screen.s_listRowImages, screen.s_listIndex));
    for (std::int32_t k = 0; k < shown; ++k) {
        std::int32_t row = screen.s_listTop + k;
        if (!dataRows || row >= dataRows->length())
            break;
        std::int32_t dataRow = rt::IntArray::get(dataRows, row);
        std::int32_t centre = y0 + rowHeight / 2 + 1 + k * rowHeight;
        drawImage(g, imageAt(rowImages, dataRow), screen.s_listBoxX + margin, centre,
                  Graphics::VCENTER | Graphics::LEFT);
        if (textIndexes && dataRow < textIndexes->length()) {
            screen.s_fontColour = dataRow == textIndexes->length() - 1 ? 2 : 1;
            drawTextById(rt::IntArray::get(textIndexes, dataRow), g,
                         screen.s_listBoxX + margin + widthOf(firstRowImage()) + margin, centre,
                         Graphics::VCENTER | Graphics::LEFT);
        }
    }
    screen.s_listRowHeight = rowHeight;
    screen.s_listFirstRowY = y0;
    screen.s_listSelectionY = y0 + (screen.s_listSelection - screen.s_listTop) * rowHeight;
    g->setColor(kSelectionFrame);
    drawRect(g, screen.s_listBoxX, screen.s_listSelectionY, screen.s_listBoxWidth, rowHeight);
}

void paintBody(Graphics* g) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    std::int32_t width = promo.s_screenWidth;
    std::int32_t height = promo.s_screenHeight;
    std::int32_t page = screen.s_page;
    Image* picture = imageAt(screen.s_pageImages, page);
    if (page == promo.s_extraPage && extraFlag()) {
        drawImage(g, picture, width / 2, height * 8 / 100, kAnchorTopCentre);
        screen.s_fontColour = 0;
        drawTextById(promo.s_fixedTextBase + 2, g, width / 2, height * 60 / 100, kAnchorCentre);
    } else if (page == promo.s_propertyPage) {
        if (height >= 128)
            drawImage(g, screenImage(10), promo.s_centreX, promo.s_height5Percent, kAnchorTopCentre);
        std::int32_t bottom = screen.s_linkButtonY - 2 * screen.s_fontHeight;
        drawImage(g, picture, promo.s_centreX, bottom, kAnchorBottomCentre);
        drawImage(g, screen.s_languageImage, promo.s_centreX + widthOf(picture) / 2 + 1, bottom,
                  Graphics::BOTTOM | Graphics::RIGHT);
        paintPropertyBars(g, widthOf(picture), bottom);
        if (promo.s_extraText && promo.s_extraText->length() > 0) {
            screen.s_fontColour = 2;
            if (screen.s_linkButtonY - bottom < 2 * screen.s_fontHeight)
                drawText(promo.s_extraText, g, promo.s_centreX, bottom + screen.s_fontHeight / 3,
                         kAnchorTopCentre);
            else
                drawText(promo.s_extraText, g, promo.s_centreX, (bottom + screen.s_linkButtonY) / 2,
                         kAnchorCentre);
        }
    } else if (page == promo.s_portalPage) {
        std::int32_t boxWidth = widthOf(picture) * 70 / 100;
        fillGradient(g, width / 2 - boxWidth / 2, height / 2 - heightOf(picture) / 4, boxWidth,
                     heightOf(picture) / 2, kPortalTop, kPortalBottom);
        drawImage(g, picture, promo.s_centreX, height / 2, kAnchorCentre);
        drawImage(g, screenImage(10), promo.s_centreX, promo.s_height5Percent, kAnchorTopCentre);
        if (screen.s_languageExtraImage) {
            drawImage(g, screen.s_languageExtraImage, promo.s_centreX, height / 2, kAnchorCentre);
        } else {
            measureText(getText(screen.s_pageTextIndex));
            screen.s_fontColour = 0;
            drawTextById(screen.s_pageTextIndex, g, promo.s_centreX, height / 2 - screen.s_textHeight / 2,
                         kAnchorTopCentre);
        }
    } else {
        measureText(getText(screen.s_pageTextIndex));
        // A text wider than the room between the soft keys keeps clear of
        // their band (of the taller icon's when it is wider than that too).
        std::int32_t band = 0;
        if (screen.s_textWidth > width - 2 * widthOf(screenImage(12)))
            band = screen.s_textWidth > width - 2 * widthOf(screenImage(9)) ? heightOf(screenImage(9))
                                                                            : heightOf(screenImage(12));
        std::int32_t content = screen.s_textHeight + heightOf(picture);
        std::int32_t raise = 0;
        std::int32_t room = height - (content + band);
        // Too tall for the room above the band: the gaps come from the whole
        // height and the text moves up half a line into the picture's gap.
        if (room < (width < 177 ? 2 : 3)) {
            room = height - content;
            raise = screen.s_fontHeight / 2;
        }
        std::int32_t gap = std::max(0, room) / 3;
        drawImage(g, picture, promo.s_centreX, gap, kAnchorTopCentre);
        if (extraFlag())
            screen.s_fontColour = 0;
        drawTextById(screen.s_pageTextIndex, g, promo.s_centreX, heightOf(picture) + 2 * gap - raise,
                     kAnchorTopCentre);
    }
}

void paintPageArrows(Graphics* g) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    if (promo.s_availablePageCount <= 1)
        return;
    std::int32_t swing = std::abs(((ticks() / 80) % 8 + 8) % 8 - 4);
    bool leftLit = screen.s_prevArrowFlash || screen.s_pressedAction == kPromoPrevious;
    bool rightLit = screen.s_nextArrowFlash || screen.s_pressedAction == kPromoNext;
    screen.s_arrowFlashCount += (leftLit ? 1 : 0) + (rightLit ? 1 : 0);
    Image* left = screenImage(leftLit ? 4 : 5);
    Image* right = screenImage(rightLit ? 6 : 7);
    std::int32_t x = widthOf(left) + swing + 1;
    drawImage(g, left, x, promo.s_centreY, Graphics::RIGHT | Graphics::VCENTER);
    drawImage(g, right, promo.s_screenWidth - x, promo.s_centreY, Graphics::LEFT | Graphics::VCENTER);
    if (screen.s_arrowFlashCount > 4) {
        screen.s_arrowFlashCount = 0;
        screen.s_prevArrowFlash = screen.s_nextArrowFlash = 0;
    }
}

void paintPage(Graphics* g) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    layoutLinkButton();
    g->setColor(extraFlag() ? 0 : kWhite);
    fillRect(g, 0, 0, promo.s_screenWidth, promo.s_screenHeight);
    if (screen.s_listMode)
        paintList(g);
    else
        paintBody(g);
    paintSoftKeys(g);
    paintPageArrows(g);
}

void paintLinkButton(Graphics* g) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    bool pressed = screen.s_pressedAction == kPromoLinkButton;
    if (!screen.s_hasLinkButton || screen.s_listMode || (ticks() % 1000 <= 500 && !pressed))
        return;
    std::int32_t colour = extraFlag() ? kLinkButtonExtraColour : kLinkButtonColour;
    if (pressed) {
        g->setColor(kLinkButtonFrame);
        drawRect(g, screen.s_linkButtonX - 2, screen.s_linkButtonY - 2, screen.s_linkButtonWidth + 3,
                 screen.s_linkButtonHeight + 4);
        drawRect(g, screen.s_linkButtonX - 1, screen.s_linkButtonY - 1, screen.s_linkButtonWidth + 1,
                 screen.s_linkButtonHeight + 2);
        colour = kLinkButtonPressed;
    }
    g->setColor(colour);
    fillRect(g, screen.s_linkButtonX, screen.s_linkButtonY, screen.s_linkButtonWidth,
             screen.s_linkButtonHeight + 1);
    screen.s_fontColour = 0;
    drawTextById(screen.s_linkButtonText, g, promo.s_centreX,
                 screen.s_linkButtonY + screen.s_linkButtonHeight / 2, kAnchorCentre);
}

} // namespace

void measureText(rt::String* text) {
    promoScreenStatics().s_measureOnly = 1;
    drawText(text, nullptr, 0, 0, 0);
}

void drawText(rt::String* text, Graphics* g, std::int32_t x, std::int32_t y, std::int32_t anchor) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    std::u16string units = unitsOf(text).value_or(u"");
    LineMetrics metrics = lineMetrics();
    std::int32_t widths[kPromoLineWidthSlots] = {};
    std::int32_t line = 0;
    bool overflow = false;
    auto isBreak = [&](std::size_t i) {
        return units[i] == u'\n' || (units[i] == u'\\' && i + 1 < units.size() && units[i + 1] == u'N');
    };
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t c = units[i];
        if (c == 0 || c == 1)
            continue;
        if (isBreak(i)) {
            i += c == u'\\' ? 1 : 0;
            // The last slot keeps the rest of an over-long text.
            if (line + 1 < kPromoLineWidthSlots)
                ++line;
            else
                overflow = true;
            continue;
        }
        widths[line] += metrics.width(c) + metrics.charSpacing;
    }
    if (overflow)
        host::logf(host::LogCategory::Game, "promotion text: more than %d lines; the last keeps the rest",
                   kPromoLineWidthSlots);
    std::int32_t widest = 0;
    for (std::int32_t k = 0; k <= line; ++k) {
        widths[k] -= metrics.charSpacing;
        widest = std::max(widest, widths[k]);
        if (screen.s_textLineWidths && k < screen.s_textLineWidths->length())
            rt::IntArray::set(screen.s_textLineWidths, k, widths[k]);
    }
    std::int32_t gap = promo.s_screenWidth < 177 && pageKind(screen.s_page) == kPromoKindRegular ? 2 : 0;
    screen.s_textWidth = widest;
    screen.s_textHeight = gap * line + (line + 1) * screen.s_fontHeight;
    if (screen.s_measureOnly || !g) {
        screen.s_measureOnly = 0;
        return;
    }
    g->setClip(0, 0, promo.s_screenWidth, promo.s_screenHeight);
    std::int32_t top = y + gap * line / 2;
    if (anchor & Graphics::BOTTOM)
        top -= screen.s_textHeight;
    if (anchor & Graphics::VCENTER)
        top -= screen.s_textHeight / 2;
    auto lineStart = [&](std::int32_t k) {
        std::int32_t start = x;
        if (anchor & Graphics::RIGHT)
            start -= widths[k];
        if (anchor & Graphics::HCENTER)
            start -= widths[k] / 2;
        return start;
    };
    Image* sheet = imageAt(screen.s_fontImages, screen.s_fontColour);
    std::int32_t left = lineStart(0), right = left;
    for (std::int32_t k = 0; k <= line; ++k) {
        left = std::min(left, lineStart(k));
        right = std::max(right, lineStart(k) + widths[k]);
    }
    std::u16string shown;
    if (drawingTap())
        for (char16_t c : units)
            if (c != 0 && c != 1)
                shown += c;
    const ReportedDraw reported(DrawCall::DrawText, g, sheet, {x, y, anchor, screen.s_fontColour}, shown,
                                {left, top, right - left, screen.s_textHeight});
    std::int32_t halfSpace = (metrics.width(u' ') + metrics.charSpacing) / 2;
    line = 0;
    std::int32_t pen = lineStart(0);
    bool firstOfLine = true;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t c = units[i];
        if (c == 0 || c == 1)
            continue;
        if (isBreak(i)) {
            i += c == u'\\' ? 1 : 0;
            if (line + 1 < kPromoLineWidthSlots) {
                ++line;
                top += screen.s_fontHeight + gap - 1;
                pen = lineStart(line);
                firstOfLine = true;
            }
            continue;
        }
        if (firstOfLine) {
            firstOfLine = false;
            if (i >= 2 && units[i - 2] == u' ')
                pen -= halfSpace;
            if (c == u' ') {
                pen += halfSpace;
                continue;
            }
        }
        std::int32_t glyphWidth = metrics.width(c);
        std::int32_t glyphHeight = getTableByte(c, promo.s_glyphColH);
        if (sheet && glyphWidth > 0 && glyphHeight > 0) {
            // The sheet is drawn whole through a clip of the glyph's box: a
            // box reaching past the sheet shows the part the sheet holds.
            g->setClip(pen, top, glyphWidth, glyphHeight);
            g->drawImage(sheet, pen - getTableByte(c, promo.s_glyphColX),
                         top - getTableByte(c, promo.s_glyphColY), kAnchorTopLeft);
        }
        pen += glyphWidth + metrics.charSpacing;
    }
    g->setClip(0, 0, promo.s_screenWidth, promo.s_screenHeight);
    screen.s_fontColour = 1;
}

void paintProgressBar(Graphics* g, std::int32_t y, std::int32_t width, std::int32_t step,
                      std::int32_t count) {
    const PromoStatics& promo = promoStatics();
    step = std::min(step, count);
    std::int32_t x = (promo.s_screenWidth - width) / 2;
    g->setColor(kWhite);
    drawRect(g, x, y, width, 6);
    g->setColor(kBarRed);
    fillRect(g, x + 2, y + 2, count > 0 ? (width - 4) * std::max(step, 0) / count + 1 : 1, 3);
}

void layoutLinkButton() {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    measureText(getText(screen.s_linkButtonText));
    std::int32_t spaceHeight = getTableByte(32, promo.s_glyphColH);
    std::int32_t height = spaceHeight / 3 + screen.s_textHeight;
    if ((height + screen.s_textHeight) % 2 != 0)
        height += 1;
    screen.s_linkButtonHeight = height;
    screen.s_linkButtonWidth = screen.s_textWidth + getTableByte(32, promo.s_glyphColW) / 2;
    screen.s_linkButtonX = promo.s_centreX - screen.s_linkButtonWidth / 2;
    std::int32_t page = screen.s_page;
    if (extraFlag() && page == promo.s_extraPage)
        screen.s_linkButtonY = promo.s_screenHeight * 80 / 100;
    else if (pageKind(page) == kPromoKindRegular || page == promo.s_extraPage)
        screen.s_linkButtonY = promo.s_halfHeight - height / 2;
    else
        screen.s_linkButtonY = promo.s_height93Percent - height / 2;
}

void paint(Graphics* g) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    if (!promo.s_enabled || !g)
        return;
    g->setClip(0, 0, promo.s_screenWidth, promo.s_screenHeight);
    PromoState state = static_cast<PromoState>(screen.s_state.load());
    if (state == PromoState::Loading || state == PromoState::Paused) {
        g->setColor(0);
        fillRect(g, 0, 0, promo.s_screenWidth, promo.s_screenHeight);
        paintProgressBar(g, promo.s_centreY, promo.s_screenWidth * 3 / 4, screen.s_loadStep,
                         screen.s_loadStepCount);
        if (screen.s_callerText && screen.s_callerText->length() > 0) {
            g->setColor(kWhite);
            const ReportedDraw reported(DrawCall::DrawString, g, screen.s_callerText,
                                        {promo.s_screenWidth / 2, promo.s_centreY - 5, kAnchorBottomCentre},
                                        drawingTap() ? unitsOf(screen.s_callerText).value_or(u"") : u"");
            g->drawString(screen.s_callerText, promo.s_screenWidth / 2, promo.s_centreY - 5,
                          kAnchorBottomCentre);
        }
        return;
    }
    if (state == PromoState::Browsing || state == PromoState::Choosing) {
        paintPage(g);
        paintLinkButton(g);
    }
}

std::int32_t actionAtPoint(std::int32_t x, std::int32_t y) {
    const PromoStatics& promo = promoStatics();
    PromoScreenStatics& screen = promoScreenStatics();
    if (x < 1 || y < 1 || screen.s_state.load() == static_cast<std::int32_t>(PromoState::Loading) ||
        !screen.s_running.load())
        return 0;
    std::int32_t width = promo.s_screenWidth;
    std::int32_t height = promo.s_screenHeight;
    if (screen.s_listMode) {
        std::int32_t m = height * 5 / 100;
        std::int32_t a = widthOf(screenImage(5));
        std::int32_t p = width / 100;
        std::int32_t s = widthOf(firstRowImage()) + a + p + m;
        bool inside = screen.s_listBoxX + 3 * p < x && x < screen.s_listBoxX - 3 * p + screen.s_listBoxWidth;
        for (std::int32_t k = 0; inside && k < screen.s_listVisibleRows; ++k) {
            std::int32_t row = screen.s_listTop + k;
            if (row >= screen.s_listRowCount)
                break;
            if (screen.s_listFirstRowY + k * screen.s_listRowHeight < y &&
                y < screen.s_listFirstRowY + (k + 1) * screen.s_listRowHeight) {
                if (row == screen.s_listSelection)
                    return kPromoSelect;
                screen.s_listSelection = row;
                return 0;
            }
        }
        std::int32_t b = widthOf(screenImage(12));
        if (inside && b * 3 / 2 + 2 < x && x < width - b * 3 / 2 + 2 &&
            screen.s_listVisibleRows < screen.s_listRowCount) {
            std::int32_t h = (s - 1) / 2;
            if (screen.s_listSelection > 0 && screen.s_listUpArrowY - h < y &&
                y < screen.s_listUpArrowY + s - 1)
                return kPromoUp;
            if (screen.s_listSelection < screen.s_listRowCount - 1 && screen.s_listDownArrowY - h < y &&
                y < screen.s_listDownArrowY + s - 1)
                return kPromoDown;
        }
    } else if (screen.s_linkButtonX < x && x < screen.s_linkButtonX + screen.s_linkButtonWidth &&
               screen.s_linkButtonY < y && y < screen.s_linkButtonY + screen.s_linkButtonHeight) {
        return kPromoLinkButton;
    }
    Image* arrow = screenImage(7);
    std::int32_t w = widthOf(arrow);
    std::int32_t h = heightOf(arrow);
    if (height / 2 - h < y && y < height / 2 + h) {
        if (x < 2 * w)
            return kPromoPrevious;
        if (width - 2 * w < x && x < width + w)
            return kPromoNext;
    }
    if (!promo.s_useCommands) {
        Image* key = screenImage(13);
        std::int32_t w13 = widthOf(key);
        if (height - 2 * heightOf(key) <= y && y <= height &&
            width - 2 * w13 - screen.s_softKeyMarginRight < x && x < width - screen.s_softKeyMarginRight &&
            !(screen.s_softKeyMarginLeft < x && x < screen.s_softKeyMarginLeft + 2 * w13))
            return kPromoBack;
    }
    return 0;
}

} // namespace game::promo
