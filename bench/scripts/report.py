# n evaluations of price * qty + 1 over the fields of 1,000 rows, read by name.
rows = [{"Price": 10 + (i % 100) * 0.25, "Qty": i % 7 + 1} for i in range(1000)]

def run(n):
    total = 0.0
    k = 0
    for _ in range(n):
        row = rows[k]
        total += row["Price"] * row["Qty"] + 1
        k += 1
        if k == len(rows):
            k = 0
    return total
