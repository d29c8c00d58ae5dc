# n reads and n writes of a host object's property; the answer is its last value.
class Counter:
    def __init__(self):
        self._value = 0
    @property
    def value(self):
        return self._value
    @value.setter
    def value(self, v):
        self._value = v

counter = Counter()

def run(n):
    counter.value = 0
    for i in range(1, n + 1):
        counter.value = counter.value + i % 10
    return counter.value
