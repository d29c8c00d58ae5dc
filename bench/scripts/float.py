# n steps of a floating-point recurrence with + - * and /.
def run(n):
    x = 0.5
    for i in range(1, n + 1):
        x = x * 0.999 + i / 3.0 - 1.1
    return x
