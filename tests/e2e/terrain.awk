# A terrain of n x n points over 0..100 in x and y, its height around z = 12: a slope rising
# along x from 6 to 18 with hills on it; moved by (ox, oy); then `strays` points far out.
# Usage: awk -v n=200 -v ox=0 -v oy=0 -v strays=5 -f terrain.awk >FILE
BEGIN {
  for (i = 0; i < n; i++) for (j = 0; j < n; j++) {
    x = 100 * i / (n - 1); y = 100 * j / (n - 1)
    printf "%.3f %.3f %.3f\n", x + ox, y + oy, 12 + 6 * (x - 50) / 50 + 2 * sin(x / 7) * cos(y / 9)
  }
  for (k = 1; k <= strays; k++) printf "%.1f %.1f %.1f\n", ox + 1e5 * k, oy - 7e4 * k, 3e4 * k
}
