"""Shapes as signed distance functions of a point (x, y): negative inside, the distance to the
outline outside. The picture generators draw with them, so edges are smooth at every size."""

import math


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(left, top, right, bottom, radius=0.0):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - radius

    return sdf


def segment(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def sdf(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) - width / 2

    return sdf


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def sdf(x, y):
        best = float("inf")
        inside = False
        for (ax, ay), (bx, by) in edges:
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(wx - t * ex, wy - t * ey))
            if (ay <= y) != (by <= y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -best if inside else best

    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))
