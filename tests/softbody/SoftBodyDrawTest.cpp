#include "softbody/SoftBody.h"

#include <gtest/gtest.h>

#include "support/GlRecorder.h"
#include "support/Vectors.h"

namespace {

// A body whose only face has its corners at a, b and c, in that order; the centre mass is elsewhere.
SoftBody bodyWithOneFace(const Vector& a, const Vector& b, const Vector& c) {
    SoftBody body;
    for (const Vector& p : {vec(9, 9, 9), a, b, c}) {
        Mass m;
        m.position = p;
        m.index = int(body.masses.size());
        body.masses.push_back(m);
    }
    Face face;
    face.massA = &body.masses[1];
    face.massB = &body.masses[2];
    face.massC = &body.masses[3];
    body.faces.push_back(face);
    return body;
}

Calls oneTriangle(const Vector& normal, const Vector& a, const Vector& b, const Vector& c) {
    return {{"glBegin", GL_TRIANGLES},
            {"glNormal3f", normal[0], normal[1], normal[2]},
            {"glVertex3f", a[0], a[1], a[2]},
            {"glVertex3f", b[0], b[1], b[2]},
            {"glVertex3f", c[0], c[1], c[2]},
            {"glEnd"}};
}

}  // namespace

TEST(SoftBodyDrawTest, NormalIsTheUnnormalisedCrossProduct) {
    struct Case {
        const char* what;
        Vector a, b, c, normal;
    };
    const Case cases[] = {
        {"unit triangle", vec(0, 0, 0), vec(1, 0, 0), vec(0, 1, 0), vec(0, 0, 1)},
        {"scaled by 2: four times the area", vec(0, 0, 0), vec(2, 0, 0), vec(0, 2, 0), vec(0, 0, 4)},
        {"two corners swapped", vec(0, 0, 0), vec(0, 1, 0), vec(1, 0, 0), vec(0, 0, -1)},
        {"off the origin", vec(1, 1, 1), vec(1, 2, 1), vec(1, 1, 3), vec(2, 0, 0)},
        {"two corners together", vec(1, 2, 3), vec(1, 2, 3), vec(0, 1, 0), vec(0, 0, 0)},
        {"three corners on a line", vec(0, 0, 0), vec(1, 1, 1), vec(2, 2, 2), vec(0, 0, 0)},
    };
    for (const Case& c : cases) {
        GlRecorder gl;
        bodyWithOneFace(c.a, c.b, c.c).draw();
        EXPECT_EQ(gl.calls(), oneTriangle(c.normal, c.a, c.b, c.c)) << c.what;
        EXPECT_EQ(gl.pendingError(), GLenum(GL_NO_ERROR)) << c.what;
    }
}

TEST(SoftBodyDrawTest, EmptyBodyOpensAndClosesOneBlock) {
    GlRecorder gl;
    SoftBody().draw();
    EXPECT_EQ(gl.calls(), (Calls{{"glBegin", GL_TRIANGLES}, {"glEnd"}}));
}

TEST(SoftBodyDrawTest, AllFacesInOneBlockAndNothingButGeometry) {
    SoftBody body = bodyWithOneFace(vec(0, 0, 0), vec(1, 0, 0), vec(0, 1, 0));
    Face reversed;
    reversed.massA = &body.masses[3];
    reversed.massB = &body.masses[2];
    reversed.massC = &body.masses[1];
    body.faces.push_back(reversed);

    GlRecorder gl;
    body.draw();
    const Calls first = gl.calls();
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(gl.callsNamed("glBegin").size(), 1u);
    EXPECT_EQ(gl.callsNamed("glEnd").size(), 1u);
    EXPECT_EQ(first[5], (GlCall{"glNormal3f", 0, 0, -1}));
    EXPECT_EQ(first[6], (GlCall{"glVertex3f", 0, 1, 0}));

    // Nothing is kept between draws: the same positions give the same calls.
    gl.clear();
    body.draw();
    EXPECT_EQ(gl.calls(), first);
}
