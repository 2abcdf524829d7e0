#pragma once

struct Mass;

/// A damped spring between two masses of the same body; it owns neither.
struct Spring {
    float stiffness = 2700.0f;  ///< force per unit of stretch
    float damping = 30.0f;      ///< force per unit of stretching speed
    float restLength = 0.0f;    ///< set once from the model's geometry
    Mass* massA = nullptr;      ///< an element of the body's masses; never outlives it
    Mass* massB = nullptr;

    /// The rest length becomes the current distance from massA to massB.
    void computeRestLength();
    /// Adds the spring's elastic and damping force to both masses, pulling them together when stretched.
    /// A spring whose masses coincide has no direction and adds nothing.
    void applyForce();
};
