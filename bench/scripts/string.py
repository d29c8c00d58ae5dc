# Appends the decimal text of 1..n to one string; the answer is its length.
def run(n):
    s = ""
    for i in range(1, n + 1):
        s = s + str(i)
    return len(s)
