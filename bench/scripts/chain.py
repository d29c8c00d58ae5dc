# Joins ", " and the decimal text of i onto one string, i = 1..n; the answer is its length.
def run(n):
    s = ""
    for i in range(1, n + 1):
        s = s + ", " + str(i)
    return len(s)
