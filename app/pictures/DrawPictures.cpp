// Draws the window's pictures: the logo of the title strip, the picture of the check page and
// that of the success page. Run it after changing a drawing and commit the PNG files:
//   cmake --build build --target kv_draw_pictures
//   QT_QPA_PLATFORM=offscreen build/app/kv_draw_pictures app/pictures

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kOrange(240, 140, 30);
const QColor kBlue(40, 120, 200);
const QColor kLightBlue(215, 232, 250);
const QColor kGreen(60, 170, 80);

bool draw(const QString& file, QSize size, const std::function<void(QPainter&)>& paint) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paint(painter);
    painter.end();
    if (image.save(file))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

// Two arrows chasing each other round a circle, the sign of an update.
void drawUpdateArrows(QPainter& p, const QRectF& box, const QColor& colour, qreal width) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring = box.adjusted(width, width, -width, -width);
    for (const int start : {20, 200}) {
        p.drawArc(ring, start * 16, 140 * 16);
        // Arrow head at the end of the arc.
        const qreal angle = qDegreesToRadians(qreal(start + 140));
        const QPointF tip(ring.center().x() + ring.width() / 2 * std::cos(angle),
                          ring.center().y() - ring.height() / 2 * std::sin(angle));
        const QPointF along(-std::sin(angle), -std::cos(angle)); // direction of travel
        const QPointF across(std::cos(angle), -std::sin(angle));
        const qreal head = width * 1.6;
        QPolygonF arrow{tip + along * head, tip + across * head, tip - across * head};
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPolygon(arrow);
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
    }
}

void drawLogo(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kOrange);
    p.drawRoundedRect(QRectF(2, 2, 22, 22), 5, 5);
    drawUpdateArrows(p, QRectF(5, 5, 16, 16), Qt::white, 2);
    QFont font("DejaVu Sans");
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(235, 235, 235));
    p.drawText(QRectF(28, 0, 60, 26), Qt::AlignVCenter | Qt::AlignLeft, "KELVANTRA");
}

// A cloud with an arrow coming down from it.
void drawCheckPicture(QPainter& p) {
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill); // overlapping parts join instead of cancelling out
    cloud.addEllipse(QRectF(14, 40, 50, 50));
    cloud.addEllipse(QRectF(40, 18, 66, 66));
    cloud.addEllipse(QRectF(82, 42, 46, 46));
    cloud.addRoundedRect(QRectF(34, 60, 80, 30), 12, 12);
    p.setPen(QPen(kBlue, 4));
    p.setBrush(kLightBlue);
    p.drawPath(cloud.simplified());

    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(62, 56, 16, 42));
    p.drawPolygon(QPolygonF{QPointF(48, 96), QPointF(92, 96), QPointF(70, 124)});
    drawUpdateArrows(p, QRectF(100, 96, 34, 34), kOrange, 4);
}

// A green disc with a white tick.
void drawSuccessPicture(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QRectF(4, 2, 104, 104));
    p.setPen(QPen(Qt::white, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{QPointF(30, 56), QPointF(48, 74), QPointF(82, 36)});
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    const bool ok = draw(folder + "logo.png", {91, 26}, drawLogo) &&
                    draw(folder + "verificar.png", {140, 138}, drawCheckPicture) &&
                    draw(folder + "sucesso.png", {113, 108}, drawSuccessPicture);
    return ok ? 0 : 1;
}
