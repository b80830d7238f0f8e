// The girls of the machine: ぽぷちゃん and her friends, drawn as small jointed
// figures so that each presentation frame is just a pose.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QTransform>
#include <functional>

namespace pictures {

enum class Face { Smile, Joy, Surprise, Sad, Cry, Effort, Wink };
enum class Hair { TwinTails, Bob, Long };
enum class Hat { None, Ribbon, Flower, Halo };

// What a girl looks like.
struct Look {
    QColor hair;
    QColor dress;
    QColor trim; // collar bow, hair ties, ribbon
    QColor shoes;
    QColor socks;
    Hair style = Hair::TwinTails;
    Hat hat = Hat::Ribbon;
    bool cat = false; // ears and a tail
};

Look popchan_look();
Look fairy_look();
Look angel_look();
Look neko_look();

// One arm or leg: the upper part swings from straight down (0) towards +x (90, to
// the right) or up (180); the lower part bends by `bend` relative to it.
struct Limb {
    double swing = 0;
    double bend = 0;
};

struct Pose {
    QPointF hip{32, 52}; // in the picture
    double scale = 1;
    double tilt = 0; // the whole figure, clockwise degrees about the hip
    double lean = 0; // the upper body about the hip
    double nod = 0;  // the head about the neck
    Limb left_arm{-12, 8};
    Limb right_arm{12, -8};
    Limb left_leg{-4, 0};
    Limb right_leg{4, 0};
    Face face = Face::Smile;
    double look = 0.3; // -1 (left) .. 1 (right): where the face turns
    double flow = 0;   // 0 .. 1: how far the twin tails stream back (to the left)
    bool tear = false;
};

enum class Side { Left, Right };
enum class Frame { Body, Upper };

class Figure {
  public:
    Figure(const Look& look, const Pose& pose) : look_(look), pose_(pose) {}

    void draw(QPainter& p) const;
    // Runs `draw` in the figure's own coordinates: hip at (0, 0), feet near y = 15,
    // head centre near y = -26; Frame::Upper also leans with the upper body.
    void within(QPainter& p, Frame frame, const std::function<void()>& draw) const;
    // Where a point of a frame lands in the picture.
    QPointF in_picture(Frame frame, QPointF point) const;
    // Where a hand is in the upper-body frame.
    QPointF hand(Side side) const;
    // Draws a hand again, on top of something it holds (upper-body frame).
    void draw_hand(QPainter& p, Side side) const;
    // Draws both hands again in the picture, on top of what they hold.
    void draw_hands(QPainter& p) const;

  private:
    QTransform transform(Frame frame) const;
    void turn_head(QPainter& p) const;
    void draw_tail(QPainter& p) const;
    void draw_leg(QPainter& p, Side side) const;
    void draw_arm(QPainter& p, Side side) const;
    void draw_dress(QPainter& p) const;
    void draw_head(QPainter& p) const;
    void draw_hair_back(QPainter& p) const;
    void draw_fringe(QPainter& p) const;
    void draw_headwear(QPainter& p) const;
    void draw_face(QPainter& p) const;
    void draw_eyes(QPainter& p, QPointF left, QPointF right) const;
    void draw_mouth(QPainter& p, QPointF at) const;

    Look look_;
    Pose pose_;
};

// The outline colour of every figure.
QColor ink();
QColor skin();

} // namespace pictures
