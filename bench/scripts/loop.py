# Sum of i mod 7 for i = 1..n.
def run(n):
    s = 0
    for i in range(1, n + 1):
        s = s + i % 7
    return s
