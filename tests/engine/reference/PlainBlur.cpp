#include "PlainBlur.h"

#include <cmath>

namespace kelo::reference {

namespace {

void boxBlurH(std::vector<double>& s, std::vector<double>& t, int w, int h, int r) {
    const float iarrF = 1.0f / static_cast<float>(r + r + 1);
    const double iarr = iarrF;
    for (int i = 0; i < h; ++i) {
        int ti = i * w;
        int li = ti;
        int ri = ti + r;
        const double fv = s[ti];
        const double lv = s[ti + w - 1];
        double val = (r + 1) * fv;
        for (int j = 0; j < r; ++j) val += s[ti + j];
        for (int j = 0; j <= r; ++j) {
            val += s[ri++] - fv;
            t[ti++] = std::round(val * iarr);
        }
        for (int j = r + 1; j < w - r; ++j) {
            val += s[ri++] - s[li++];
            t[ti++] = std::round(val * iarr);
        }
        for (int j = w - r; j < w; ++j) {
            val += lv - s[li++];
            t[ti++] = std::round(val * iarr);
        }
    }
}

void boxBlurT(std::vector<double>& s, std::vector<double>& t, int w, int h, int r) {
    const float iarrF = 1.0f / static_cast<float>(r + r + 1);
    const double iarr = iarrF;
    for (int i = 0; i < w; ++i) {
        int ti = i;
        int li = ti;
        int ri = ti + r * w;
        const double fv = s[ti];
        const double lv = s[ti + w * (h - 1)];
        double val = (r + 1) * fv;
        for (int j = 0; j < r; ++j) val += s[ti + j * w];
        for (int j = 0; j <= r; ++j) {
            val += s[ri] - fv;
            t[ti] = std::round(val * iarr);
            ri += w;
            ti += w;
        }
        for (int j = r + 1; j < h - r; ++j) {
            val += s[ri] - s[li];
            t[ti] = std::round(val * iarr);
            li += w;
            ri += w;
            ti += w;
        }
        for (int j = h - r; j < h; ++j) {
            val += lv - s[li];
            t[ti] = std::round(val * iarr);
            li += w;
            ti += w;
        }
    }
}

void boxBlur(std::vector<double>& a, std::vector<double>& b, int w, int h, int r) {
    b = a;
    boxBlurH(b, a, w, h, r);
    boxBlurT(a, b, w, h, r);
}

}  // namespace

std::array<int, 3> plainBoxSizes(double sigma) {
    const float s = static_cast<float>(sigma);
    const float wIdeal = std::sqrt(12.0f * s * s / 3.0f + 1.0f);
    int wl = static_cast<int>(std::floor(wIdeal));
    if (wl % 2 == 0) wl--;
    const int wu = wl + 2;
    const float mIdeal = (12.0f * s * s - 3.0f * wl * wl - 12.0f * wl - 9.0f) / (-4.0f * wl - 4.0f);
    const int m = static_cast<int>(std::round(mIdeal));
    std::array<int, 3> sizes{};
    for (int k = 0; k < 3; ++k) sizes[k] = m > k ? wl : wu;
    return sizes;
}

void plainGaussBlur(std::vector<double>& image, int width, int height, double sigma) {
    const std::array<int, 3> boxes = plainBoxSizes(sigma);
    std::vector<double> target(image.size());
    boxBlur(image, target, width, height, (boxes[0] - 1) / 2);
    boxBlur(target, image, width, height, (boxes[1] - 1) / 2);
    boxBlur(image, target, width, height, (boxes[2] - 1) / 2);
    image = target;
}

}  // namespace kelo::reference
