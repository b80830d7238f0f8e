// The reach presentations' sprite sheets: ぽぷちゃん with her crate and her
// balloon, the fairy, the angel, the cat-eared girl, the closing walk, the notice
// runner and the promotion sign.
#include "pictures.h"

#include "figure.h"
#include "paint.h"
#include "props.h"
#include "sheet.h"

#include <cmath>
#include <numbers>

namespace pictures {

namespace {

const QColor gold(255, 214, 40);
const QColor balloon_red(240, 50, 80);
const QColor sweat(150, 210, 255);

// Legs and arms of a walk at `phase` (0 .. 1 is one full stride); the hip bobs.
void stride(Pose& pose, double phase, double reach = 26) {
    const double a = 2 * std::numbers::pi * phase;
    const double s = std::sin(a), c = std::cos(a);
    // A leg bends behind the body, and lifts its foot while it swings forward.
    pose.left_leg = {reach * s, -reach * (1.3 * std::max(0.0, -s) + 2.4 * std::max(0.0, c))};
    pose.right_leg = {-reach * s, -reach * (1.3 * std::max(0.0, s) + 2.4 * std::max(0.0, -c))};
    pose.left_arm = {-8 - 30 * s, 15};
    pose.right_arm = {8 + 30 * s, -15};
    pose.hip.ry() -= 1.5 * std::abs(c);
}

Pose posed(QPointF hip, Face face, double scale = 1) {
    Pose pose;
    pose.hip = hip;
    pose.face = face;
    pose.scale = scale;
    return pose;
}

// ---- pat0: the crate ("Tumble") -------------------------------------------

CellArt carry_crate(double phase) {
    return [phase](QPainter& p) {
        Pose pose = posed({30, 54}, Face::Smile);
        stride(pose, phase);
        pose.left_arm = {62, 28};
        pose.right_arm = {80, 10};
        pose.look = 0.6;
        const Figure girl(popchan_look(), pose);
        girl.draw(p);
        girl.within(p, Frame::Upper, [&] { crate(p, QRectF(8, -16, 20, 17)); });
        girl.draw_hands(p);
    };
}

void push(QPainter& p) {
    Pose pose = posed({33, 55}, Face::Effort);
    pose.lean = 26;
    pose.left_arm = {112, 4};
    pose.right_arm = {120, -4};
    pose.left_leg = {-48, 6};
    pose.right_leg = {16, -28};
    pose.look = 0.8;
    pose.flow = 1;
    Figure(popchan_look(), pose).draw(p);
    drop(p, {12, 22}, 2.2, sweat);
    drop(p, {8, 31}, 1.8, sweat);
}

void fall_over(QPainter& p) {
    crate(p, QRectF(42, 4, 17, 15));
    Pose pose = posed({38, 54}, Face::Surprise);
    pose.tilt = -52;
    pose.left_arm = {-150, 30};
    pose.right_arm = {160, -30};
    pose.left_leg = {60, -20};
    pose.right_leg = {95, -40};
    pose.look = 0;
    Figure(popchan_look(), pose).draw(p);
    sparkle(p, {40, 26}, 4.5, gold);
    sparkle(p, {5, 48}, 4, gold);
}

void sit_on_crate(QPainter& p) {
    crate(p, QRectF(18, 53, 26, 18));
    Pose pose = posed({31, 51}, Face::Cry);
    pose.tear = true;
    pose.nod = 10;
    pose.lean = 4;
    pose.left_leg = {78, -78};
    pose.right_leg = {86, -86};
    pose.left_arm = {25, 40};
    pose.right_arm = {35, 25};
    pose.look = 0.2;
    Figure(popchan_look(), pose).draw(p);
    gloom(p, QRectF(14, 2, 12, 10));
}

// ---- pat1: the balloon ("Balloon") ----------------------------------------

constexpr double balloon_scale = 0.85;

using BalloonArt = void (*)(QPainter&, QPointF, double, QPointF, const QColor&);

// ぽぷちゃん under her balloon (centre c, radius r), its string in her right hand.
void balloon_girl(QPainter& p, Pose pose, BalloonArt art, QPointF c, double r) {
    pose.scale = balloon_scale;
    const Figure girl(popchan_look(), pose);
    art(p, c, r, girl.in_picture(Frame::Upper, girl.hand(Side::Right)), balloon_red);
    girl.draw(p);
}

void descend(QPainter& p) {
    Pose pose = posed({27, 54}, Face::Smile);
    pose.right_arm = {160, 10};
    pose.left_arm = {-70, 20};
    pose.left_leg = {-6, 6};
    pose.right_leg = {8, -4};
    balloon_girl(p, pose, balloon, {44, 13}, 10);
    for (double x : {8.0, 14.0})
        p.strokePath(segment({x, 4 + x / 2}, {x, 14 + x / 2}),
                     round_pen(QColor(90, 110, 200), 1.3));
}

void float_along(QPainter& p) {
    Pose pose = posed({27, 52}, Face::Wink);
    pose.right_arm = {150, 20};
    pose.left_arm = {-120, -40};
    pose.left_leg = {20, -60};
    pose.right_leg = {-10, 10};
    balloon_girl(p, pose, balloon, {44, 12}, 10);
    music_note(p, {8, 18}, 3.2, QColor(255, 120, 180));
}

void balloon_jackpot(QPainter& p) {
    Pose pose = posed({31, 54}, Face::Joy);
    pose.right_arm = {160, 10};
    pose.left_arm = {-160, -10};
    pose.left_leg = {-22, -20};
    pose.right_leg = {22, 20};
    balloon_girl(p, pose, balloon, {47, 12}, 10);
    sparkle(p, {8, 10}, 5, gold);
    sparkle(p, {56, 40}, 4, gold);
    star(p, {7, 44}, 3.5, QColor(255, 120, 180));
}

void balloon_pop(QPainter& p) {
    Pose pose = posed({29, 55}, Face::Surprise);
    pose.right_arm = {150, 30};
    pose.left_arm = {-140, -20};
    pose.left_leg = {-25, 10};
    pose.right_leg = {30, -10};
    pose.look = 0.5;
    balloon_girl(p, pose, burst_balloon, {46, 12}, 9);
    drop(p, {9, 20}, 2.2, sweat);
}

void balloon_droop(QPainter& p) {
    Pose pose = posed({29, 56}, Face::Sad);
    pose.nod = 10;
    pose.right_arm = {30, 10};
    pose.left_arm = {-10, 5};
    pose.left_leg = {-2, 6};
    pose.right_leg = {4, 2};
    balloon_girl(p, pose, limp_balloon, {50, 64}, 7);
    gloom(p, QRectF(12, 4, 12, 9));
}

// ---- pat2: the fairy ("Fairy") --------------------------------------------

Pose fairy_pose(Face face) {
    Pose pose = posed({32, 50}, face, 0.74);
    pose.left_leg = {-12, -40};
    pose.right_leg = {12, -56};
    pose.left_arm = {-60, 30};
    pose.right_arm = {60, -30};
    pose.lean = 6;
    return pose;
}

Figure fairy(QPainter& p, const Pose& pose, double lift) {
    const Figure girl(fairy_look(), pose);
    girl.within(p, Frame::Upper, [&] { fairy_wings(p, {0, -9}, lift); });
    girl.draw(p);
    return girl;
}

CellArt fairy_flight(double lift, double rise) {
    return [lift, rise](QPainter& p) {
        Pose pose = fairy_pose(Face::Smile);
        pose.hip.ry() -= rise;
        fairy(p, pose, lift);
        sparkle(p, {8, 60 - rise}, 3, QColor(255, 200, 240));
        sparkle(p, {15, 66 - rise}, 2.2, gold);
    };
}

void fairy_halt(QPainter& p) {
    Pose pose = fairy_pose(Face::Wink);
    pose.right_arm = {40, -10};
    pose.left_arm = {-120, -30};
    const Figure girl = fairy(p, pose, 0.4);
    girl.within(p, Frame::Upper, [&] {
        wand(p, girl.hand(Side::Right), 40, 19);
        girl.draw_hand(p, Side::Right);
    });
    sparkle(p, {58, 66}, 5.5, gold);
    sparkle(p, {50, 70}, 2.5, QColor(255, 200, 240));
}

// ---- pat3: the angel ("Angel") --------------------------------------------

CellArt angel(double lift, double rise) {
    return [lift, rise](QPainter& p) {
        Pose pose = posed({32, 55 - rise}, Face::Smile, 0.86);
        pose.left_arm = {40, 70};
        pose.right_arm = {-40, -70};
        pose.left_leg = {-6, -10};
        pose.right_leg = {6, -20};
        pose.look = 0;
        const Figure girl(angel_look(), pose);
        girl.within(p, Frame::Upper, [&] { angel_wings(p, {0, -10}, lift); });
        girl.draw(p);
    };
}

// ---- pat7: the cat-eared girl ("Nekomimi") --------------------------------

CellArt neko_walk(double phase) {
    return [phase](QPainter& p) {
        Pose pose = posed({30, 55}, Face::Smile);
        stride(pose, phase);
        pose.look = 0.6;
        Figure(neko_look(), pose).draw(p);
    };
}

CellArt neko_tug(double effort) {
    return [effort](QPainter& p) {
        Pose pose = posed({30 - 2 * effort, 55}, Face::Effort);
        pose.lean = -14 - 10 * effort;
        pose.left_arm = {90 + pose.lean + 4, -10};
        pose.right_arm = {90 + pose.lean - 4, 10};
        pose.left_leg = {-10 - 6 * effort, -20};
        pose.right_leg = {34 + 8 * effort, 0};
        pose.look = 0.7;
        const Figure girl(neko_look(), pose);
        girl.draw(p);
        const QPointF hold = girl.in_picture(Frame::Upper, girl.hand(Side::Right));
        rope(p, hold + QPointF(-3, 1), {64, hold.y() + 4 - 3 * effort}, 2 - 2 * effort);
        girl.draw_hands(p);
        drop(p, {10, 20 + 2 * effort}, 2.2, sweat);
    };
}

// ---- pat9: the closing walk after a probability-up jackpot ----------------

CellArt parade(double phase) {
    return [phase](QPainter& p) {
        Pose pose = posed({30, 56}, phase < 0.5 ? Face::Joy : Face::Smile);
        stride(pose, phase, 22);
        pose.right_arm = {165, 10};
        pose.look = 0.7;
        const Figure girl(popchan_look(), pose);
        girl.draw(p);
        girl.within(p, Frame::Upper, [&] {
            flag(p, girl.hand(Side::Right), 25, "確変");
            girl.draw_hand(p, Side::Right);
        });
    };
}

// ---- pat4: the notice runner ----------------------------------------------

void notice_runner(QPainter& p) {
    Pose pose = posed({28, 53}, Face::Surprise);
    pose.lean = 14;
    pose.right_leg = {50, -10};
    pose.left_leg = {-35, -60};
    pose.left_arm = {70, 70};
    pose.right_arm = {-50, 60};
    pose.flow = 0.7;
    pose.look = 0.8;
    Figure(popchan_look(), pose).draw(p);
    exclamation(p, {50, 14}, 10);
    speed_lines(p, {9, 50}, 8, 3);
}

// ---- pat5: the promotion sign ---------------------------------------------

void promotion_sign(QPainter& p) {
    const QPointF c(32, 36);
    outlined_path(p, star_path(c, 31, 0.8, 16),
                  vertical({0, 4, 64, 64}, QColor(255, 240, 120), QColor(240, 160, 0)),
                  QColor(150, 70, 0), 2.0);
    QPainterPath plate;
    plate.addEllipse(c, 22, 22);
    QRadialGradient red(c, 22, c + QPointF(-6, -8));
    red.setColorAt(0, QColor(255, 110, 110));
    red.setColorAt(1, QColor(200, 0, 30));
    outlined_path(p, plate, red, QColor(120, 0, 20), 3.0, QColor(255, 230, 120), 1.6);
    const QPainterPath text =
        centred_text("昇格", ipa_font("IPAGothic", 40), QRectF(c.x() - 17, c.y() - 10, 34, 20));
    outlined_path(p, text, QColor(255, 255, 255), QColor(110, 0, 10), 3.2);
    sparkle(p, {12, 12}, 6, QColor(255, 255, 200));
    sparkle(p, {54, 60}, 5, QColor(255, 255, 200));
}

} // namespace

Pictures reach_sheets() {
    return {
        {"pat0",
         sprite_sheet({carry_crate(0.25), push, fall_over, sit_on_crate, carry_crate(0.75)})},
        {"pat1", sprite_sheet({descend, float_along, balloon_jackpot, balloon_pop, balloon_droop})},
        {"pat2",
         sprite_sheet({fairy_flight(1, 0), fairy_halt, fairy_flight(-1, 2), fairy_flight(0, 1)})},
        {"pat3", sprite_sheet({angel(1, 0), angel(0.3, 1), angel(-1, 2), angel(-0.35, 1)})},
        {"pat7", sprite_sheet({neko_walk(0.25), neko_walk(0.75), neko_tug(0), neko_tug(1)})},
        {"pat9", sprite_sheet({parade(0), parade(0.25), parade(0.5), parade(0.75)})},
        {"pat4", sprite_sheet({notice_runner})},
        {"pat5", sprite_sheet({promotion_sign})},
    };
}

} // namespace pictures
