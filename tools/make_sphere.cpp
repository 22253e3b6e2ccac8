// make-sphere [FILE]: writes 5000 points spread evenly over a sphere of radius 3 (a
// golden-angle spiral), one "x y z" line each, to FILE or to standard output.
#include <cmath>
#include <cstdio>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

static const int SPHERE_POINTS = 5000;
static const double SPHERE_RADIUS = 3.0;

// Writes the sphere's points to out.
static void WriteSphere(FILE* out) {
  const double pi = 3.14159265358979323846;
  const double goldenAngle = pi * (3.0 - std::sqrt(5.0));
  for (int i = 0; i < SPHERE_POINTS; ++i) {
    double y = 1.0 - 2.0 * (i + 0.5) / SPHERE_POINTS;
    double ring = std::sqrt(1.0 - y * y);
    double angle = goldenAngle * i;
    std::fprintf(out, "%.6f %.6f %.6f\n", SPHERE_RADIUS * ring * std::cos(angle),
                 SPHERE_RADIUS * y, SPHERE_RADIUS * ring * std::sin(angle));
  }
}

// Writes to the file named by the argument, or to standard output without one.
int main(int argc, char** argv) {
  if (argc > 1) {
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
      std::fprintf(stderr, "make-sphere: cannot write %s\n", argv[1]);
      return 1;
    }
    WriteSphere(out);
    return std::fclose(out) == 0 ? 0 : 1;
  }
#if defined(_WIN32)
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  WriteSphere(stdout);
  return 0;
}
