# n calls of a host object's method; the answer is the total it kept.
class Counter:
    def __init__(self):
        self.total = 0
    def clear(self):
        self.total = 0
    def add(self, value):
        self.total += value

counter = Counter()

def run(n):
    counter.clear()
    for i in range(1, n + 1):
        counter.add(i % 10)
    return counter.total
