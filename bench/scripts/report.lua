-- n evaluations of price * qty + 1 over the fields of 1,000 rows, read by name.
local rows = {}
for i = 0, 999 do
  rows[#rows + 1] = {Price = 10 + (i % 100) * 0.25, Qty = i % 7 + 1}
end

function run(n)
  local total = 0.0
  local k = 1
  for _ = 1, n do
    local row = rows[k]
    total = total + row["Price"] * row["Qty"] + 1
    k = k + 1
    if k > #rows then k = 1 end
  end
  return total
end
